// datagen-festival: `festival --pipe` with one more special form, (ozzel.fresh FORM...), that evaluates its
// forms in a forked copy of the process and waits for it.
//
// A Festival that has spoken may say the next line a little differently (its UniSyn back end reads past
// the end of one of its tracks), so datagen needs a voice that has said nothing before for every line.
// Starting Festival anew for each one spends most of the medium's time loading it; a copy forked after
// the voice is loaded starts from exactly the state a fresh process would have at that point.
#include <festival.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

// The copy evaluates the forms and exits; an error there must not fall back into the read loop, which
// would then read the parent's input.
void EvaluateInCopy(LISP forms, LISP env) {
  jmp_buf here;
  est_errjmp = &here;
  errjmp_ok = 1;
  if (setjmp(here)) {
    std::fflush(nullptr);
    std::cerr.flush();
    ::_exit(1);
  }
  for (LISP f = forms; f != NIL; f = cdr(f)) leval(car(f), env);
  std::fflush(nullptr);
  std::cout.flush();
  std::cerr.flush();
  ::_exit(0);
}

LISP Fresh(LISP forms, LISP env) {
  std::fflush(nullptr);
  std::cout.flush();
  std::cerr.flush();
  const pid_t pid = ::fork();
  if (pid < 0) return err("ozzel.fresh: cannot fork", NIL);
  if (pid == 0) EvaluateInCopy(forms, env);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return err("ozzel.fresh: lost the copy", NIL);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return err("ozzel.fresh: the copy failed", NIL);
  return NIL;
}

}  // namespace

int main(int argc, char** argv) {
  int heap = 500000;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--heap") == 0 && i + 1 < argc) {
      heap = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--pipe") != 0) {
      std::fprintf(stderr, "usage: datagen-festival [--heap CELLS] [--pipe]   (Scheme on stdin)\n");
      return 2;
    }
  }
  if (heap < 10000) heap = 10000;
  festival_initialize(TRUE, heap);
  init_fsubr("ozzel.fresh", Fresh,
             "(ozzel.fresh FORM...)\n  Evaluates FORMs in a forked copy of this process and waits for it.");
  festival_repl(FALSE);
  festival_tidy_up();
  return 0;
}
