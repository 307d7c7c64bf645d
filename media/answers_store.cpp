// Reading and writing the answers record under the program's own key.
#include "media/answers_store.h"

#include "media/registry_keys.h"
#include "platform/registry/registry.h"
#include "platform/trace.h"

namespace ozzel {

game::AnswerRecord answers;

void Answers_Initialize() {
  answers = {};
  plat::Registry reg(plat::Registry::DefaultPath());
  if (!reg.KeyExists(kKeyOzzel)) return;
  if (auto v = reg.Read(kKeyOzzel, kValueAnswers); v && v->type == plat::RegType::String)
    answers = game::AnswerRecord::Parse(v->text);
}

void Answers_Finalize() {
  if (!answers.Changed()) return;
  plat::Registry reg(plat::Registry::DefaultPath());
  const std::string text = answers.Format();
  if (reg.Write(kKeyOzzel, kValueAnswers, plat::RegValue{plat::RegType::String, text, 0}))
    plat::trace::Emit("registry write", std::string(kKeyOzzel) + "|" + kValueAnswers + "|" + text);
}

}  // namespace ozzel
