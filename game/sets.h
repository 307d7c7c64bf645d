// The four animal sets, the question record and how a set's question list is built and shuffled.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ozzel::game {

// Indexed 1..4; entry 0 is unused.
extern const std::array<std::string, 5> SetNames;    // "doma", "uzit", "les", "safa"
extern const std::array<std::string, 5> SetLetters;  // "D", "U", "L", "S"

// One question. kind 1: asked with the animal's "_a" recording, 2: with its "_b" recording,
// 3: a sound is played and the child finds the animal that makes it.
struct totazka {
  uint8_t kind = 0;
  std::string letter;
  uint8_t animal = 0;
  uint8_t sound = 0;  // kind 3 only
  bool operator==(const totazka&) const = default;
};

// Questions[1..100]; index 0 is unused so that the numbering reads as the program uses it.
using QuestionList = std::array<totazka, 101>;

// Animal numbers drawn in a set's hit map.
const std::vector<int>& AnimalsPresent(int set);

struct QuestionSpec {
  uint8_t kind, animal, sound;
};
// A set's entries in list order: all kind 1, then kind 2, then kind 3.
const std::vector<QuestionSpec>& SetQuestions(int set);

// Appends the set's entries from 1 on, with the set's letter; returns the new count.
uint8_t BuildList(QuestionList& q, int set);

// Exchanges all fields of entries a and b (both in 1..100).
void SwapQuestions(QuestionList& q, int a, int b);

// 200 random exchanges: a = Random(count*1000 - 1) div 1000 + 1, b = Random(count*10000 - 1) div 10000 + 1.
template <class Rand>
void Shuffle(QuestionList& q, int count, Rand&& random) {
  if (count < 1) return;
  for (int k = 0; k < 200; ++k) {
    int a = random(count * 1000 - 1) / 1000 + 1;
    int b = random(count * 10000 - 1) / 10000 + 1;
    totazka tmp = q[a];
    q[a] = q[b];
    q[b] = tmp;
  }
}

// Moves apart neighbours that ask for the same animal: one forward and one backward pass.
void SeparateNeighbours(QuestionList& q, int count);

}  // namespace ozzel::game
