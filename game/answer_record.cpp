// The answers record's counting and its one-line text form.
#include "game/answer_record.h"

#include <cctype>
#include <climits>
#include <sstream>

#include "game/sets.h"

namespace ozzel::game {

namespace {

// Counts stop at a size no child reaches; a hand-edited huge number must not overflow.
constexpr int kCap = 1000000;

bool ParseCount(const std::string& s, int* out) {
  if (s.empty()) return false;
  int v = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    v = v * 10 + (c - '0');
    if (v > kCap) v = kCap + 1;  // any longer number is past the cap too
  }
  *out = v > kCap ? kCap : v;
  return true;
}

bool KnownAnimal(const std::string& key) {
  if (key.size() < 2 || key.size() > 3) return false;
  for (int set = 1; set <= 4; ++set) {
    if (key.substr(0, 1) != SetLetters[set]) continue;
    for (int n : AnimalsPresent(set))
      if (key.substr(1) == std::to_string(n)) return true;
  }
  return false;
}

}  // namespace

AnswerRecord AnswerRecord::Parse(const std::string& text) {
  AnswerRecord r;
  std::istringstream in(text);
  std::string item;
  while (in >> item) {
    size_t eq = item.find('='), slash = item.find('/');
    if (eq == std::string::npos || slash == std::string::npos || slash < eq) continue;
    std::string key = item.substr(0, eq);
    AnimalTally t;
    if (!KnownAnimal(key) || !ParseCount(item.substr(eq + 1, slash - eq - 1), &t.asked) ||
        !ParseCount(item.substr(slash + 1), &t.first) || t.first > t.asked)
      continue;
    r.tally_[key] = t;
  }
  return r;
}

std::string AnswerRecord::Format() const {
  std::string out;
  for (const auto& [key, t] : tally_) {
    if (!out.empty()) out += ' ';
    out += key + "=" + std::to_string(t.asked) + "/" + std::to_string(t.first);
  }
  return out;
}

void AnswerRecord::Note(const std::string& letter, int animal, bool first_try) {
  AnimalTally& t = tally_[letter + std::to_string(animal)];
  if (t.asked >= kCap) return;
  ++t.asked;
  if (first_try) ++t.first;
  changed_ = true;
}

AnimalTally AnswerRecord::Of(const std::string& letter, int animal) const {
  auto it = tally_.find(letter + std::to_string(animal));
  return it == tally_.end() ? AnimalTally{} : it->second;
}

}  // namespace ozzel::game
