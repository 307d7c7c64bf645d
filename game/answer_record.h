// What the child has shown so far, per animal: how often it was asked for and how often found at the
// first try. Kept for the parents' page; the text form is one line a registry editor can show.
#pragma once
#include <map>
#include <string>

namespace ozzel::game {

struct AnimalTally {
  int asked = 0;  // questions about it that were answered (right in the end)
  int first = 0;  // of those, found with the first animal clicked
  bool operator==(const AnimalTally&) const = default;
};

class AnswerRecord {
 public:
  // "D5=3/2 L7=1/0": letter and animal, asked/first. Unreadable entries are dropped, not fatal:
  // the record is a courtesy to parents and must never stop the game.
  static AnswerRecord Parse(const std::string& text);
  std::string Format() const;

  void Note(const std::string& letter, int animal, bool first_try);
  AnimalTally Of(const std::string& letter, int animal) const;
  bool Changed() const { return changed_; }

 private:
  std::map<std::string, AnimalTally> tally_;  // "D5" → tally
  bool changed_ = false;
};

}  // namespace ozzel::game
