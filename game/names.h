// Data file names, relative to DataDir, exactly as the program composes them.
#pragma once
#include <string>
#include <vector>

#include "game/sets.h"

namespace ozzel::game {

std::string IntroPicture();                 // "\obrazky\oz_uvod.bmp"
std::string IntroSpeech();                  // "\zvuky\oz_uvod.wav"
std::string ExaminerClip();                 // "\animace\tib_mluv.avi"
std::string MusicFile();                    // "\hudba\ozzel.mid"
std::string ScenePicture(int set);          // "\obrazky\doma_f.bmp"
std::string AnimalPicture(int set, int n);  // "\obrazky\les_7.bmp"
// Button sound of a pending id: 1..4 the scene buttons, 8 the exit button; "" for any other id.
std::string ButtonSound(int id);
std::string MissSound(int miss_index);      // "\zvuky\oz_bad1.wav" .. 4
std::string WrongSound();                   // "\zvuky\oz_bad.wav"
std::string WrongAnimalSound(const std::string& letter, int n);  // "\zvuky\oz_D_E3.wav"
std::string PraiseIntro();                  // "\zvuky\oz_brav.wav"
std::string PraiseSound(int praise_index);  // "\zvuky\oz_ok1.wav" .. 6
std::string AnimalName(const std::string& letter, int n);  // "\zvuky\oz_L_J7.wav"
std::string ScoreSound();                   // "\zvuky\oz_s8.wav"
// The examiner's goodbye when a parent's session limit ends the game (na shledanou: goodbye).
std::string GoodbyeSound();                 // "\zvuky\oz_nashl.wav"
std::string SoundLeadIn(bool first);        // "\zvuky\oz_snd_a.wav" / "\zvuky\oz_snd_b.wav"
std::string AnimalSound(int sound);         // "\zvuky\oz_snd2.wav"
// The files a question appends to the speech queue, in order; kind 3 takes the lead-in given.
std::vector<std::string> QuestionFiles(const totazka& e, bool lead_in_a);

// Every data file the program can ask for, each once, in a stable order.
std::vector<std::string> AllDataFiles();

}  // namespace ozzel::game
