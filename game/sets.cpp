// Set tables and the list-building rules.
#include "game/sets.h"

namespace ozzel::game {

const std::array<std::string, 5> SetNames = {"", "doma", "uzit", "les", "safa"};
const std::array<std::string, 5> SetLetters = {"", "D", "U", "L", "S"};

namespace {

std::vector<QuestionSpec> Make(std::vector<int> kind1, std::vector<int> kind2,
                               std::vector<std::pair<int, int>> kind3) {
  std::vector<QuestionSpec> out;
  for (int a : kind1) out.push_back({1, uint8_t(a), 0});
  for (int a : kind2) out.push_back({2, uint8_t(a), 0});
  for (auto [a, s] : kind3) out.push_back({3, uint8_t(a), uint8_t(s)});
  return out;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

}  // namespace

const std::vector<int>& AnimalsPresent(int set) {
  static const std::vector<int> none;
  static const std::array<std::vector<int>, 5> present = {
      std::vector<int>{}, {1, 3, 4, 5, 6, 7, 8}, Range(1, 10), Range(1, 9), Range(1, 9)};
  return set >= 1 && set <= 4 ? present[set] : none;
}

const std::vector<QuestionSpec>& SetQuestions(int set) {
  static const std::array<std::vector<QuestionSpec>, 5> lists = {
      std::vector<QuestionSpec>{},
      Make({1, 4, 5, 6, 7, 8}, {1, 3, 4, 5, 6, 7, 8}, {{5, 2}, {7, 1}}),
      Make(Range(1, 10), Range(1, 10),
           {{1, 4}, {2, 3}, {3, 11}, {4, 6}, {5, 7}, {6, 8}, {7, 5}, {8, 12}, {9, 10}, {10, 9}}),
      Make(Range(1, 9), Range(1, 9), {{2, 17}}),
      Make(Range(1, 9), Range(1, 9), {}),
  };
  static const std::vector<QuestionSpec> none;
  return set >= 1 && set <= 4 ? lists[set] : none;
}

uint8_t BuildList(QuestionList& q, int set) {
  uint8_t count = 0;
  for (const QuestionSpec& s : SetQuestions(set)) {
    if (count >= 100) break;
    ++count;
    totazka& e = q[count];
    e.kind = s.kind;
    e.letter = SetLetters[set];
    e.animal = s.animal;
    // The sound field is written only for sound questions; other entries keep what was there.
    if (s.kind == 3) e.sound = s.sound;
  }
  return count;
}

void SwapQuestions(QuestionList& q, int a, int b) {
  if (a < 1 || a > 100 || b < 1 || b > 100) return;
  std::swap(q[a], q[b]);
}

void SeparateNeighbours(QuestionList& q, int count) {
  for (int i = 3; i <= count - 1; ++i)
    if (q[i].animal == q[i + 1].animal) SwapQuestions(q, i + 1, i - 2);
  for (int i = count - 3; i >= 1; --i)
    if (q[i].animal == q[i + 1].animal) SwapQuestions(q, i + 1, i + 2);
}

}  // namespace ozzel::game
