// The floor for the idle benchmark: a borderless window over the screen and the audio device opened as
// the game opens it, waiting for events and doing nothing else.
#include <SDL.h>
#include <SDL_mixer.h>

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_AUDIO) != 0) return 1;
  if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) return 1;
  SDL_DisplayMode dm{};
  SDL_GetDesktopDisplayMode(0, &dm);
  SDL_Window* w = SDL_CreateWindow("bare", 0, 0, dm.w, dm.h, SDL_WINDOW_BORDERLESS);
  if (!w) return 1;
  SDL_FillRect(SDL_GetWindowSurface(w), nullptr, 0);
  SDL_UpdateWindowSurface(w);
  for (SDL_Event e; SDL_WaitEvent(&e);)
    if (e.type == SDL_QUIT) break;
  Mix_CloseAudio();
  SDL_DestroyWindow(w);
  SDL_Quit();
  return 0;
}
