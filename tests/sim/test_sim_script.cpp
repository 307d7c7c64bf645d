// The simulator's script parser: every command form, and the malformed lines it must refuse.
#include <gtest/gtest.h>

#include "sim/script.h"

namespace ozzel::sim {
namespace {

Command Parse(const std::string& line) {
  LineResult r = ParseLine(line, 7);
  if (auto* e = std::get_if<ParseError>(&r)) ADD_FAILURE() << line << ": " << e->message;
  if (!std::holds_alternative<Command>(r)) {
    ADD_FAILURE() << "no command in: " << line;
    return {};
  }
  return std::get<Command>(r);
}

std::string Error(const std::string& line, int n = 3) {
  LineResult r = ParseLine(line, n);
  if (auto* e = std::get_if<ParseError>(&r)) return e->message;
  ADD_FAILURE() << "accepted: " << line;
  return "";
}

using K = Command::Kind;

TEST(SimScriptParse, WaitAndPointerCommands) {
  Command w = Parse("wait 1500");
  EXPECT_EQ(w.kind, K::Wait);
  EXPECT_EQ(w.ms, 1500u);
  EXPECT_EQ(w.line, 7);
  EXPECT_EQ(Parse("wait 0").ms, 0u);

  Command m = Parse("move 12 -3");
  EXPECT_EQ(m.kind, K::Move);
  EXPECT_EQ(m.x, 12);
  EXPECT_EQ(m.y, -3);

  Command c = Parse("click 555 418");
  EXPECT_EQ(c.kind, K::Click);
  EXPECT_EQ(c.x, 555);
  EXPECT_EQ(c.y, 418);
  EXPECT_EQ(c.button, 0);
  EXPECT_EQ(Parse("click 1 2 right").button, 1);
  EXPECT_EQ(Parse("click 1 2 left").button, 0);
  EXPECT_EQ(Parse("click 1 2 middle").button, 2);

  Command d = Parse("down 5 6");
  EXPECT_EQ(d.kind, K::Down);
  EXPECT_EQ(d.button, 0);
  Command u = Parse("up 5 6 right");
  EXPECT_EQ(u.kind, K::Up);
  EXPECT_EQ(u.button, 1);
  Command dbl = Parse("dblclick 100 200");
  EXPECT_EQ(dbl.kind, K::DblClick);
  EXPECT_EQ(dbl.x, 100);
  EXPECT_EQ(dbl.y, 200);
}

TEST(SimScriptParse, ControlNamesInPlaceOfCoordinates) {
  Command c = Parse("click btn_obraz1");
  EXPECT_EQ(c.kind, K::Click);
  EXPECT_EQ(c.control, "btn_obraz1");
  EXPECT_EQ(Parse("click BTN_Konec right").button, 1);
  EXPECT_EQ(Parse("move podklad").control, "podklad");
  EXPECT_EQ(Parse("dblclick stit").control, "stit");
  EXPECT_EQ(Parse("click 1 2").control, "") << "coordinates name no control";
  EXPECT_EQ(Error("click btn_obraz1 twice", 5).rfind("script line 5: bad button", 0), 0u);
  EXPECT_EQ(Error("move stit 1", 5).rfind("script line 5: bad X coordinate", 0), 0u);
  EXPECT_EQ(Error("move stit right", 5).rfind("script line 5: extra argument", 0), 0u);
  EXPECT_EQ(Error("click b-1", 5).rfind("script line 5: missing argument", 0), 0u) << "not a name";
}

TEST(SimScriptParse, KeysAndText) {
  EXPECT_EQ(Parse("key esc").ch, 27u);
  EXPECT_EQ(Parse("key ESC").ch, 27u);
  EXPECT_EQ(Parse("key enter").ch, 13u);
  EXPECT_EQ(Parse("key a").ch, unsigned('a'));
  EXPECT_EQ(Parse("key E").ch, unsigned('E'));  // one letter, not the start of "enter"
  EXPECT_EQ(Parse("key 5").ch, unsigned('5'));
  EXPECT_EQ(Parse("key ž").ch, 0x17Eu);         // Czech letters arrive as code points
  EXPECT_EQ(Parse("key space").ch, unsigned(' '));
  // Named keys: the key, and the character it types when it has one.
  EXPECT_EQ(Parse("key tab").key, plat::Key::Tab);
  EXPECT_EQ(Parse("key tab").ch, 0u);
  EXPECT_EQ(Parse("key Parents").key, plat::Key::Parents);
  EXPECT_EQ(Parse("keydown esc").ch, 27u);
  EXPECT_EQ(Parse("keyup enter").ch, 0u) << "letting go types nothing";
  EXPECT_EQ(Parse("keyup enter").key, plat::Key::Enter);
  EXPECT_NE(Error("keydown a").find("bad key"), std::string::npos) << "only named keys are held";
  Command touch = Parse("touch move 3 4");
  EXPECT_EQ(touch.touch, plat::InputEvent::Kind::TouchMove);
  EXPECT_EQ(touch.x, 3);
  EXPECT_EQ(Parse("tap btn_obraz1").control, "btn_obraz1");
  EXPECT_NE(Error("touch sideways 1 2").find("bad touch"), std::string::npos);

  Command t = Parse("type /media/cd rom");
  EXPECT_EQ(t.kind, K::Type);
  EXPECT_EQ(t.text, "/media/cd rom");  // inner spacing kept
  EXPECT_EQ(Parse("type   C:\\BIMBALO  ").text, "C:\\BIMBALO");
  EXPECT_EQ(Parse("type a#b").text, "a#b");         // '#' inside a word is text
  EXPECT_EQ(Parse("type cesta # note").text, "cesta");
  EXPECT_EQ(Parse("type Žluťoučký kůň").text, "Žluťoučký kůň");
}

TEST(SimScriptParse, BoxesAndInspection) {
  EXPECT_EQ(Parse("ok").kind, K::Ok);
  EXPECT_EQ(Parse("cancel").kind, K::Cancel);
  EXPECT_EQ(Parse("dump").kind, K::Dump);
  Command a = Parse("animal 10");
  EXPECT_EQ(a.kind, K::Animal);
  EXPECT_EQ(a.code, 10);
  Command s = Parse("shot after-intro");
  EXPECT_EQ(s.kind, K::Shot);
  EXPECT_EQ(s.text, "after-intro");
}

TEST(SimScriptParse, CommentsBlanksAndSpacing) {
  EXPECT_TRUE(std::holds_alternative<Blank>(ParseLine("", 1)));
  EXPECT_TRUE(std::holds_alternative<Blank>(ParseLine("   \t ", 1)));
  EXPECT_TRUE(std::holds_alternative<Blank>(ParseLine("# a comment", 1)));
  EXPECT_TRUE(std::holds_alternative<Blank>(ParseLine("   #> 0 show form_ozzel", 1)));
  EXPECT_TRUE(std::holds_alternative<Blank>(ParseLine("#! args: --seed 1", 1)));
  EXPECT_TRUE(std::holds_alternative<Blank>(ParseLine("\r", 1)));
  EXPECT_EQ(Parse("wait 100 # then the intro").ms, 100u);
  EXPECT_EQ(Parse("  click\t3   4  \r").x, 3);
  EXPECT_EQ(Parse("wait +20").ms, 20u);
}

TEST(SimScriptParse, RejectsUnknownCommands) {
  EXPECT_EQ(Error("jump 1 2", 12), "script line 12: unknown command 'jump'");
  EXPECT_NE(Error("Wait 10").find("unknown command"), std::string::npos);  // commands are lower case
  EXPECT_NE(Error("clicks 1 2").find("unknown command"), std::string::npos);
  EXPECT_NE(Error("wait10").find("unknown command"), std::string::npos);
}

TEST(SimScriptParse, RejectsWrongArgumentCounts) {
  for (const char* line : {"wait", "move 1", "click 1", "down", "up 3", "dblclick 1", "key", "type",
                           "type   ", "animal", "shot"}) {
    std::string e = Error(line, 4);
    EXPECT_EQ(e.rfind("script line 4: missing argument", 0), 0u) << line << " -> " << e;
  }
  for (const char* line : {"wait 1 2", "move 1 2 3", "click 1 2 left 4", "down 1 2 right x", "dblclick 1 2 left",
                           "key a b", "ok now", "cancel 1", "dump all", "animal 1 2", "shot a b"}) {
    std::string e = Error(line, 5);
    EXPECT_EQ(e.rfind("script line 5: extra argument", 0), 0u) << line << " -> " << e;
  }
}

TEST(SimScriptParse, RejectsBadValues) {
  for (const char* line : {"wait -5", "wait 1.5", "wait ten", "wait 10ms", "wait 99999999999999999999",
                           "move x 1", "move 1 y", "click 1e3 2", "click 1 2 both", "down 1 2 3",
                           "move 100001 0", "key escape", "key ab", "animal -1", "animal one",
                           "shot ../x", "shot a/b", "shot ..", "key \xC5"}) {
    std::string e = Error(line, 9);
    EXPECT_EQ(e.rfind("script line 9: bad ", 0), 0u) << line << " -> " << e;
  }
}

TEST(SimScriptParse, WholeScriptKeepsLineNumbers) {
  Script s = ParseScript("# start\n\nwait 500\r\nclick 555 418\n  # done\ndump\n");
  ASSERT_FALSE(s.error);
  ASSERT_EQ(s.commands.size(), 3u);
  EXPECT_EQ(s.commands[0].line, 3);
  EXPECT_EQ(s.commands[1].line, 4);
  EXPECT_EQ(s.commands[2].line, 6);
  EXPECT_EQ(s.commands[2].kind, K::Dump);

  Script bad = ParseScript("wait 1\nclick 1 2\n\nclick 1\nwait 2\nbogus\n");
  ASSERT_TRUE(bad.error);
  EXPECT_EQ(bad.error->message.rfind("script line 4: ", 0), 0u) << bad.error->message;
  EXPECT_TRUE(bad.commands.empty());  // nothing of a bad script runs

  Script no_newline = ParseScript("wait 5");
  ASSERT_EQ(no_newline.commands.size(), 1u);
  EXPECT_TRUE(ParseScript("").commands.empty());
}

}  // namespace
}  // namespace ozzel::sim
