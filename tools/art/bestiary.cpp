// The 35 animals of the four scenes, each drawn facing right in its own units from ellipses, limbs and polygons.
#include "tools/art/bestiary.h"

#include <cmath>

namespace ozzel::art {

namespace {

using C = plat::Rgb;

C Dk(C c, double k = 0.78) {
  auto s = [k](uint8_t v) { return uint8_t(std::lround(v * k)); };
  return {s(c.r), s(c.g), s(c.b)};
}
C Lt(C c, double t = 0.45) {
  auto m = [t](uint8_t v) { return uint8_t(std::lround(v + (255 - v) * t)); };
  return {m(c.r), m(c.g), m(c.b)};
}

const C kBlack{30, 26, 26}, kWhite{250, 250, 246}, kPink{240, 150, 160}, kHoof{70, 56, 46}, kOrange{240, 150, 40};

// A leg seen from the side, with a hoof or paw of its own colour at the bottom.
void Leg(Shape& s, V2 top, V2 bottom, double rt, double rb, C col, C foot, bool near) {
  const size_t m = s.Mark();
  s.Limb(top, bottom, rt, rb, col);
  if (near) s.MarkContour(m);
  const size_t f = s.Mark();
  s.Limb({bottom.x, bottom.y - rb * 1.2}, bottom, rb * 1.05, rb * 1.05, foot);
  s.MarkDecor(f);
}

Shape Dove() {
  Shape s;
  // A robin: brown back and wings with their feathers, an orange breast; children know it from books.
  const C body{150, 112, 76}, wing{128, 92, 60}, breast{240, 120, 50};
  s.Polygon({{24, 24}, {46, 2}, {58, 6}, {50, 28}}, Dk(wing));  // far wing
  s.Polygon({{0, 30}, {18, 25}, {20, 39}, {3, 45}}, wing);     // tail
  s.Ellipse({35, 33}, 21, 12, body, -0.15);
  s.Ellipse({57, 24}, 10, 9.5, body);
  s.Polygon({{64, 21}, {74, 25}, {64, 29}}, {60, 46, 36});
  const size_t m = s.Mark();
  s.Polygon({{18, 30}, {12, 3}, {22, 0}, {46, 27}}, wing);  // near wing, raised
  s.MarkContour(m);
  const size_t d = s.Mark();
  s.Ellipse({50, 33}, 11, 9, breast, -0.3);  // breast and face
  s.Ellipse({60, 27}, 6, 5, breast);
  s.Ellipse({32, 40}, 10, 4, Lt(body, 0.6), -0.15);  // pale belly
  for (double t : {0.25, 0.5, 0.75})  // the near wing's long feathers
    s.Limb({12 + 10 * t, 3 - 3 * t + 28 * t * 0.2}, {20 + 22 * t, 29 - 2 * t}, 0.9, 0.9, Dk(wing, 0.6));
  s.Limb({14, 6}, {36, 28}, 1.2, 1.2, Dk(wing, 0.6));
  s.Limb({4, 36}, {16, 33}, 0.8, 0.8, Dk(body, 0.6));  // tail feathers
  s.Limb({4, 41}, {16, 36}, 0.8, 0.8, Dk(body, 0.6));
  s.MarkDecor(d);
  s.Eye({59, 22}, 2.4, false);
  return s;
}

Shape Hamster() {
  Shape s;
  const C fur{224, 156, 84}, belly{252, 236, 210};
  s.Ellipse({20, 9}, 6.5, 6.5, Dk(fur));  // ears
  s.Ellipse({52, 9}, 6.5, 6.5, Dk(fur));
  s.Limb({26, 46}, {16, 54}, 7, 6, fur);  // hind legs
  s.Limb({46, 46}, {56, 54}, 7, 6, fur);
  s.Ellipse({14, 55}, 11, 4.5, Dk(fur, 0.85));
  s.Ellipse({58, 55}, 11, 4.5, Dk(fur, 0.85));
  s.Ellipse({36, 36}, 24, 20, fur);
  s.Ellipse({36, 22}, 19, 15, fur);
  const size_t d = s.Mark();
  s.Ellipse({20, 9}, 3.2, 3.2, kPink);
  s.Ellipse({52, 9}, 3.2, 3.2, kPink);
  s.Ellipse({36, 40}, 15, 13, belly);
  s.Ellipse({24, 28}, 7, 5, belly);
  s.Ellipse({48, 28}, 7, 5, belly);
  s.Ellipse({36, 27}, 2.6, 2, kPink);
  s.Ellipse({30, 40}, 4, 3, Lt(fur, 0.3));  // paws
  s.Ellipse({42, 40}, 4, 3, Lt(fur, 0.3));
  s.MarkDecor(d);
  s.Eye({29, 20}, 3, false);
  s.Eye({43, 20}, 3, false);
  return s;
}

Shape Mouse() {
  Shape s;
  const C fur{150, 150, 160};
  s.Chain({{22, 32}, {10, 38}, {3, 30}, {5, 18}}, 2.4, 1.8, Dk(fur));
  s.Ellipse({40, 30}, 21, 14, fur);
  s.Ellipse({58, 24}, 13, 11, fur);
  s.Polygon({{62, 16}, {75, 27}, {62, 33}}, fur);
  s.Ellipse({52, 11}, 8, 8, Lt(fur, 0.2));
  s.Ellipse({30, 42}, 6, 3, Lt(fur, 0.2));
  s.Ellipse({50, 42}, 6, 3, Lt(fur, 0.2));
  const size_t d = s.Mark();
  s.Ellipse({52, 11}, 4.5, 4.5, kPink);
  s.Ellipse({74, 27}, 2, 2, kPink);
  s.MarkDecor(d);
  s.Eye({62, 22}, 2.4, false);
  return s;
}

Shape Cat() {
  Shape s;
  const C fur{244, 164, 64}, light{254, 226, 170}, stripe{206, 116, 36};
  Leg(s, {176, 150}, {180, 212}, 10, 8, Dk(fur), Dk(fur, 0.7), false);
  Leg(s, {66, 150}, {58, 212}, 12, 8, Dk(fur), Dk(fur, 0.7), false);
  s.Chain({{52, 124}, {30, 96}, {20, 56}, {28, 20}, {42, 6}}, 7, 5.5, fur);  // raised tail
  s.Ellipse({112, 132}, 64, 38, fur);
  s.Ellipse({162, 124}, 32, 36, fur);
  s.Polygon({{172, 76}, {176, 38}, {196, 62}}, fur);
  s.Polygon({{204, 60}, {222, 34}, {226, 72}}, fur);
  s.Ellipse({198, 86}, 32, 28, fur);
  s.Ellipse({76, 140}, 30, 32, fur);
  const size_t n = s.Mark();
  s.Limb({70, 166}, {84, 210}, 12, 9, fur);
  s.Limb({154, 150}, {154, 210}, 12, 9, fur);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({90, 210}, 12, 4, light);
  s.Ellipse({158, 210}, 12, 4, light);
  s.Polygon({{178, 68}, {180, 48}, {191, 62}}, kPink);
  s.Polygon({{208, 60}, {219, 44}, {221, 68}}, kPink);
  s.Ellipse({206, 100}, 18, 12, light);
  s.Ellipse({150, 148}, 22, 12, light);
  for (double x : {92.0, 112.0, 132.0}) s.Limb({x, 104}, {x - 4, 126}, 4, 2.5, stripe);
  s.Limb({28, 92}, {40, 86}, 3, 3, stripe);
  s.Limb({20, 56}, {34, 56}, 3, 3, stripe);
  s.Limb({184, 62}, {190, 72}, 2, 2, stripe);
  s.Polygon({{204, 94}, {214, 94}, {209, 100}}, kPink);
  for (int k = -1; k <= 1; ++k) s.Limb({214, 102}, {232, 98 + 4.0 * k}, 0.6, 0.6, kBlack);
  s.MarkDecor(d);
  s.Eye({192, 82}, 5.5);
  s.Eye({212, 82}, 5.5);
  return s;
}

Shape Parrot() {
  Shape s;
  const C green{60, 176, 70}, red{226, 50, 44}, yellow{250, 214, 60}, blue{50, 110, 220}, wood{140, 92, 50};
  s.Polygon({{24, 104}, {44, 106}, {32, 180}, {18, 178}}, blue);  // tail behind the perch
  s.Limb({41, 134}, {41, 196}, 4.5, 5, wood);
  s.Ellipse({41, 199}, 28, 6, Dk(wood));
  s.Limb({4, 132}, {78, 132}, 4, 4, wood);
  s.Ellipse({40, 82}, 22, 40, green, 0.15);
  s.Ellipse({46, 36}, 20, 20, red);
  s.Polygon({{58, 28}, {73, 34}, {72, 50}, {60, 46}}, {60, 50, 50});
  const size_t n = s.Mark();
  s.Ellipse({32, 86}, 13, 32, Dk(green), 0.2);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({52, 44}, 8, 7, yellow);
  s.Ellipse({30, 104}, 8, 14, blue, 0.2);
  s.Limb({34, 124}, {36, 132}, 3, 3, {90, 90, 90});
  s.Limb({46, 124}, {48, 132}, 3, 3, {90, 90, 90});
  s.MarkDecor(d);
  s.Eye({52, 32}, 4.5);
  return s;
}

Shape Dog() {
  Shape s;
  const C fur{236, 220, 196}, patch{176, 110, 60}, dark{120, 74, 40};
  Leg(s, {94, 150}, {96, 242}, 11, 9, Dk(fur), Dk(fur, 0.7), false);
  s.Chain({{16, 222}, {4, 240}, {26, 250}}, 6, 5, fur);  // tail on the ground
  s.Ellipse({58, 200}, 48, 44, fur);
  s.Limb({60, 192}, {100, 118}, 44, 36, fur);
  s.Ellipse({108, 62}, 34, 30, fur);
  s.Ellipse({140, 76}, 21, 15, fur);
  const size_t n = s.Mark();
  s.Ellipse({86, 66}, 12, 28, dark, 0.3);  // floppy ear
  s.Limb({112, 140}, {118, 240}, 13, 10, fur);
  s.Ellipse({124, 244}, 16, 7, fur);
  s.Ellipse({80, 244}, 24, 8, fur);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({60, 190}, 26, 22, patch);
  s.Ellipse({112, 50}, 18, 14, patch);
  s.Ellipse({157, 72}, 6, 5, kBlack);
  s.Limb({130, 88}, {150, 86}, 1.5, 1.5, dark);
  s.Ellipse({120, 120}, 8, 4, {220, 40, 40});  // collar
  s.Limb({92, 120}, {132, 112}, 4, 4, {220, 40, 40});
  s.Ellipse({120, 126}, 4, 4, {250, 210, 40});
  s.MarkDecor(d);
  s.Eye({124, 56}, 5);
  return s;
}

Shape Tortoise() {
  Shape s;
  const C skin{150, 170, 80}, shell{120, 150, 60}, rim{200, 180, 90};
  s.Limb({22, 38}, {18, 46}, 6, 6, skin);
  s.Limb({66, 38}, {70, 46}, 6, 6, skin);
  s.Polygon({{4, 34}, {10, 32}, {8, 38}}, skin);
  s.Limb({74, 32}, {88, 22}, 7, 8, skin);
  s.Ellipse({89, 23}, 9, 8, skin);
  s.Ellipse({44, 32}, 32, 16, shell);
  s.Ellipse({44, 37}, 40, 5, rim);
  const size_t d = s.Mark();
  s.Ellipse({44, 22}, 10, 7, Lt(shell, 0.25));
  s.Ellipse({24, 28}, 8, 6, Lt(shell, 0.25));
  s.Ellipse({64, 28}, 8, 6, Lt(shell, 0.25));
  s.Ellipse({34, 14}, 6, 4, Lt(shell, 0.25));
  s.Ellipse({54, 14}, 6, 4, Lt(shell, 0.25));
  s.Limb({86, 28}, {94, 27}, 0.8, 0.8, kBlack);
  s.MarkDecor(d);
  s.Eye({91, 20}, 2.2, false);
  return s;
}

Shape Horse() {
  Shape s;
  const C coat{176, 110, 60}, mane{70, 40, 22};
  Leg(s, {140, 104}, {146, 178}, 9, 6, Dk(coat), kHoof, false);
  Leg(s, {62, 104}, {54, 178}, 10, 6, Dk(coat), kHoof, false);
  s.Chain({{44, 74}, {30, 100}, {30, 146}}, 9, 5, mane);
  s.Ellipse({98, 88}, 58, 30, coat);
  s.Ellipse({146, 86}, 22, 26, coat);
  s.Ellipse({72, 96}, 24, 28, coat);
  s.Limb({150, 78}, {172, 30}, 20, 14, coat);
  s.Limb({174, 24}, {200, 58}, 14, 9, coat);
  s.Polygon({{164, 16}, {168, 0}, {176, 14}}, coat);
  const size_t n = s.Mark();
  s.Limb({128, 104}, {126, 178}, 10, 6, coat);
  s.Limb({70, 110}, {74, 178}, 10, 6, coat);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({126, 180}, 7, 5, kHoof);
  s.Ellipse({74, 180}, 7, 5, kHoof);
  s.Chain({{164, 18}, {156, 40}, {146, 64}}, 5, 7, mane);
  s.Ellipse({198, 56}, 4, 3, kBlack);
  s.Polygon({{178, 30}, {186, 28}, {184, 38}}, kWhite);
  s.MarkDecor(d);
  s.Eye({182, 30}, 3.5, false);
  return s;
}

Shape Cow() {
  Shape s;
  const C hide{250, 250, 248}, spot{40, 36, 36}, nose{244, 180, 180};
  Leg(s, {128, 66}, {132, 110}, 8, 6, Dk(hide, 0.85), kHoof, false);
  Leg(s, {38, 66}, {34, 110}, 8, 6, Dk(hide, 0.85), kHoof, false);
  s.Chain({{22, 36}, {14, 60}, {14, 80}}, 2, 2, hide);
  s.Ellipse({14, 84}, 4, 6, spot);
  s.Ellipse({78, 48}, 60, 28, hide);
  s.Polygon({{144, 26}, {148, 4}, {156, 24}}, {230, 220, 180});  // horns
  s.Polygon({{156, 24}, {166, 4}, {166, 28}}, {230, 220, 180});
  s.Limb({128, 44}, {148, 38}, 17, 13, hide);
  s.Ellipse({138, 28}, 9, 5, hide, -0.4);  // ears
  s.Ellipse({154, 40}, 15, 20, hide, -0.2);
  s.Ellipse({160, 58}, 12, 9, nose);
  s.Ellipse({76, 74}, 10, 7, nose);  // udder
  const size_t n = s.Mark();
  s.Limb({112, 66}, {110, 110}, 9, 6, hide);
  s.Limb({52, 66}, {56, 110}, 9, 6, hide);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({110, 110}, 6, 3, kHoof);
  s.Ellipse({56, 110}, 6, 3, kHoof);
  s.Ellipse({60, 40}, 18, 12, spot, 0.3);
  s.Ellipse({104, 56}, 12, 9, spot);
  s.Ellipse({36, 58}, 10, 8, spot);
  s.Ellipse({150, 28}, 8, 7, spot);
  s.Ellipse({156, 60}, 2, 2, {120, 60, 60});
  s.Ellipse({164, 60}, 2, 2, {120, 60, 60});
  s.MarkDecor(d);
  s.Eye({154, 38}, 3.5);
  return s;
}

Shape Sheep() {
  Shape s;
  const C wool{246, 244, 236}, face{60, 54, 54};
  Leg(s, {64, 64}, {68, 94}, 4.5, 4, face, face, false);
  Leg(s, {30, 64}, {26, 94}, 4.5, 4, face, face, false);
  for (int k = 0; k < 12; ++k) {
    const double a = k * 3.14159265 / 6;
    s.Ellipse({46 + 28 * std::cos(a), 50 + 17 * std::sin(a)}, 8, 8, wool);
  }
  s.Ellipse({46, 50}, 28, 17, wool);
  s.Limb({68, 44}, {82, 26}, 9, 8, wool);
  s.Ellipse({88, 20}, 10, 13, face, -0.5);
  s.Ellipse({78, 14}, 8, 4, face, 0.4);
  const size_t n = s.Mark();
  s.Limb({56, 66}, {56, 94}, 4.5, 4, face);
  s.Limb({38, 66}, {40, 94}, 4.5, 4, face);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({84, 10}, 8, 6, wool);
  s.Ellipse({95, 28}, 2, 1.5, {180, 120, 120});
  s.MarkDecor(d);
  s.Eye({91, 16}, 3);
  return s;
}

Shape Goat() {
  Shape s;
  const C coat{236, 230, 220}, horn{150, 130, 100};
  Leg(s, {94, 100}, {98, 154}, 6, 4.5, Dk(coat, 0.85), kHoof, false);
  Leg(s, {40, 100}, {34, 154}, 6, 4.5, Dk(coat, 0.85), kHoof, false);
  s.Polygon({{26, 82}, {8, 62}, {30, 72}}, coat);  // tail
  s.Chain({{112, 26}, {100, 8}, {88, 4}}, 4, 2, horn);
  s.Ellipse({66, 86}, 48, 24, coat);
  s.Limb({100, 80}, {116, 40}, 15, 11, coat);
  s.Limb({118, 32}, {136, 56}, 11, 6, coat);
  s.Ellipse({108, 34}, 10, 4, coat, 0.4);
  s.Polygon({{124, 58}, {134, 60}, {126, 76}}, coat);  // beard
  const size_t n = s.Mark();
  s.Limb({84, 100}, {82, 154}, 6, 4.5, coat);
  s.Limb({50, 100}, {54, 154}, 6, 4.5, coat);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({82, 154}, 5, 3, kHoof);
  s.Ellipse({54, 154}, 5, 3, kHoof);
  s.Ellipse({66, 100}, 8, 5, {240, 190, 190});
  s.Ellipse({136, 54}, 2, 2, {140, 100, 100});
  s.MarkDecor(d);
  s.Eye({122, 36}, 3.2);
  return s;
}

Shape Rooster() {
  Shape s;
  const C red{210, 60, 40}, brown{190, 100, 40}, tail{30, 80, 60}, comb{230, 30, 40};
  for (auto [x, y] : std::initializer_list<std::pair<double, double>>{{2, 16}, {8, 6}, {18, 4}})
    s.Chain({{22, 38}, {x + 2, y + 16}, {x, y}}, 6, 3, tail);
  s.Ellipse({38, 48}, 22, 18, brown);
  s.Limb({48, 40}, {56, 22}, 10, 9, red);
  s.Polygon({{50, 14}, {52, 2}, {56, 10}, {60, 0}, {63, 10}, {68, 6}, {66, 18}}, comb);
  s.Polygon({{64, 20}, {76, 24}, {64, 28}}, {250, 200, 50});
  s.Ellipse({62, 34}, 4, 6, comb);
  s.Limb({34, 62}, {32, 82}, 2.8, 2.4, kOrange);
  s.Limb({44, 62}, {46, 82}, 2.8, 2.4, kOrange);
  s.Limb({24, 82}, {38, 82}, 2, 2, kOrange);
  s.Limb({40, 82}, {54, 82}, 2, 2, kOrange);
  const size_t d = s.Mark();
  s.Ellipse({36, 50}, 12, 8, Dk(brown), 0.3);
  s.MarkDecor(d);
  s.Eye({60, 22}, 2.8);
  return s;
}

Shape Hen() {
  Shape s;
  const C feathers{236, 206, 150}, comb{230, 40, 40};
  s.Polygon({{14, 44}, {2, 14}, {26, 32}}, Dk(feathers, 0.9));
  s.Ellipse({28, 44}, 22, 17, feathers);
  s.Limb({34, 38}, {44, 24}, 9, 8, feathers);
  s.Ellipse({44, 22}, 11, 11, feathers);
  s.Polygon({{38, 16}, {42, 5}, {46, 11}, {50, 6}, {51, 16}}, comb);
  s.Polygon({{51, 19}, {61, 23}, {51, 27}}, kOrange);
  s.Limb({24, 60}, {22, 72}, 2.4, 2.2, kOrange);
  s.Limb({34, 60}, {36, 72}, 2.4, 2.2, kOrange);
  s.Limb({15, 72}, {28, 72}, 1.8, 1.8, kOrange);
  s.Limb({30, 72}, {43, 72}, 1.8, 1.8, kOrange);
  const size_t d = s.Mark();
  s.Ellipse({24, 44}, 12, 8, Dk(feathers, 0.85), 0.2);
  s.Ellipse({51, 30}, 3, 4, comb);
  s.MarkDecor(d);
  s.Eye({47, 20}, 2.4);
  return s;
}

Shape Turkey() {
  Shape s;
  const C fan{140, 90, 50}, band{220, 190, 120}, body{90, 60, 40}, head{120, 170, 230}, red{220, 40, 40};
  s.Ellipse({42, 44}, 42, 42, fan);
  s.Ellipse({56, 68}, 26, 22, body);
  s.Limb({70, 58}, {78, 28}, 7, 6, head);
  s.Ellipse({80, 24}, 8, 8, head);
  s.Polygon({{86, 22}, {96, 26}, {86, 30}}, {240, 200, 90});
  s.Limb({48, 84}, {46, 102}, 3, 2.6, kOrange);
  s.Limb({62, 84}, {64, 102}, 3, 2.6, kOrange);
  s.Limb({40, 102}, {54, 102}, 2, 2, kOrange);
  s.Limb({58, 102}, {72, 102}, 2, 2, kOrange);
  const size_t d = s.Mark();
  s.Ellipse({42, 44}, 32, 32, band);
  s.Ellipse({42, 44}, 26, 26, fan);
  for (int k = 0; k < 9; ++k) {
    const double a = 3.3 + k * 0.38;
    s.Limb({42 + 12 * std::cos(a), 44 + 12 * std::sin(a)}, {42 + 38 * std::cos(a), 44 + 38 * std::sin(a)}, 1, 1,
           Dk(fan, 0.6));
  }
  s.Ellipse({50, 70}, 14, 10, Dk(body, 0.8), 0.3);
  s.Limb({84, 28}, {84, 40}, 2.5, 3, red);
  s.Ellipse({76, 38}, 3, 5, red);
  s.MarkDecor(d);
  s.Eye({80, 22}, 2.2, false);
  return s;
}

Shape Pig() {
  Shape s;
  const C skin{248, 178, 180}, snout{236, 140, 150};
  Leg(s, {108, 62}, {110, 82}, 7, 6, Dk(skin, 0.85), {190, 120, 120}, false);
  Leg(s, {32, 62}, {30, 82}, 7, 6, Dk(skin, 0.85), {190, 120, 120}, false);
  s.Chain({{20, 40}, {6, 34}, {6, 26}, {12, 30}}, 2.2, 2, skin);
  s.Ellipse({70, 44}, 54, 27, skin);
  s.Ellipse({120, 40}, 20, 21, skin);
  s.Ellipse({137, 44}, 6, 9, snout);
  s.Polygon({{106, 28}, {112, 6}, {124, 24}}, skin);
  s.Polygon({{120, 24}, {134, 8}, {134, 32}}, skin);
  const size_t n = s.Mark();
  s.Limb({94, 62}, {92, 82}, 7, 6, skin);
  s.Limb({46, 62}, {48, 82}, 7, 6, skin);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({92, 81}, 6, 2.5, {190, 120, 120});
  s.Ellipse({48, 81}, 6, 2.5, {190, 120, 120});
  s.Ellipse({139, 41}, 1.6, 2.2, {170, 90, 100});
  s.Ellipse({139, 48}, 1.6, 2.2, {170, 90, 100});
  s.Polygon({{116, 14}, {119, 20}, {112, 20}}, snout);
  s.MarkDecor(d);
  s.Eye({126, 32}, 3.2);
  return s;
}

Shape Goose() {
  Shape s;
  const C white{250, 250, 250}, grey{210, 214, 222};
  s.Polygon({{4, 42}, {14, 40}, {14, 52}}, grey);
  s.Ellipse({36, 52}, 28, 15, white, -0.15);
  s.Chain({{56, 44}, {64, 22}, {68, 10}}, 6.5, 5, white);
  s.Ellipse({70, 9}, 8, 7, white);
  s.Polygon({{76, 6}, {87, 11}, {76, 15}}, kOrange);
  s.Limb({34, 64}, {32, 84}, 2.6, 2.4, kOrange);
  s.Limb({44, 64}, {46, 84}, 2.6, 2.4, kOrange);
  s.Limb({24, 85}, {38, 85}, 2, 2, kOrange);
  s.Limb({40, 85}, {54, 85}, 2, 2, kOrange);
  const size_t d = s.Mark();
  s.Ellipse({30, 50}, 16, 8, grey, -0.1);
  s.MarkDecor(d);
  s.Eye({71, 7}, 2, false);
  return s;
}

Shape Duck() {
  Shape s;
  // A mallard as picture books show it: green head, white ring, chestnut breast, pale grey body,
  // a blue wing patch and a bright yellow bill.
  const C body{214, 210, 200}, head{30, 140, 70}, wing{150, 136, 120}, breast{150, 80, 50};
  s.Polygon({{2, 36}, {12, 30}, {14, 44}}, {40, 40, 44});
  s.Ellipse({28, 46}, 23, 11, body);
  s.Limb({44, 38}, {44, 20}, 5, 5, head);
  s.Ellipse({44, 13}, 9, 9, head);
  s.Polygon({{47, 9}, {60, 14}, {47, 19}}, {250, 200, 30});
  s.Limb({26, 56}, {24, 70}, 2.2, 2, kOrange);
  s.Limb({34, 56}, {36, 70}, 2.2, 2, kOrange);
  s.Limb({18, 71}, {29, 71}, 1.8, 1.8, kOrange);
  s.Limb({31, 71}, {42, 71}, 1.8, 1.8, kOrange);
  const size_t d = s.Mark();
  s.Ellipse({44, 44}, 9, 9, breast);
  s.Limb({44, 34}, {44, 38}, 5, 5, breast);
  s.Ellipse({22, 44}, 15, 7, wing, 0.1);
  s.Ellipse({26, 46}, 6, 3, {50, 80, 200}, 0.1);  // the blue patch
  s.Limb({39, 31}, {49, 31}, 1.8, 1.8, kWhite);  // the white ring
  s.Limb({50, 14}, {58, 14}, 1, 1, {200, 150, 20});
  s.MarkDecor(d);
  s.Eye({46, 11}, 2.4, false);
  return s;
}

Shape Stag() {
  Shape s;
  const C coat{170, 104, 56}, antler{226, 206, 160}, belly{236, 210, 170};
  Leg(s, {172, 190}, {178, 276}, 9, 5, Dk(coat), kHoof, false);
  Leg(s, {90, 190}, {82, 276}, 10, 5, Dk(coat), kHoof, false);
  // Antlers: two beams with tines.
  s.Chain({{190, 98}, {176, 64}, {162, 34}, {152, 4}}, 4.5, 3, antler);
  s.Chain({{176, 64}, {150, 54}}, 3.2, 2.2, antler);
  s.Chain({{166, 42}, {140, 26}}, 3, 2, antler);
  s.Chain({{162, 34}, {172, 8}}, 3, 2, antler);
  s.Chain({{206, 96}, {220, 60}, {236, 30}, {246, 4}}, 4.5, 3, antler);
  s.Chain({{220, 60}, {248, 52}}, 3.2, 2.2, antler);
  s.Chain({{232, 38}, {256, 24}}, 3, 2, antler);
  s.Chain({{236, 30}, {228, 6}}, 3, 2, antler);
  s.Polygon({{72, 154}, {52, 136}, {78, 144}}, coat);
  s.Ellipse({122, 170}, 64, 34, coat);
  s.Ellipse({88, 178}, 28, 30, coat);
  s.Ellipse({174, 162}, 26, 30, coat);
  s.Limb({176, 152}, {196, 110}, 22, 16, coat);
  s.Limb({198, 104}, {228, 132}, 16, 8, coat);
  s.Ellipse({184, 100}, 12, 6, coat, -0.5);
  s.Ellipse({218, 98}, 12, 6, coat, 0.5);
  const size_t n = s.Mark();
  s.Limb({156, 190}, {156, 276}, 10, 5, coat);
  s.Limb({86, 196}, {98, 276}, 10, 5, coat);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({156, 276}, 6, 3, kHoof);
  s.Ellipse({98, 276}, 6, 3, kHoof);
  s.Ellipse({120, 192}, 40, 10, belly);
  s.Ellipse({64, 164}, 10, 12, belly);
  s.Ellipse({228, 132}, 5, 4, kBlack);
  s.MarkDecor(d);
  s.Eye({206, 112}, 4, false);
  return s;
}

Shape Bear() {
  Shape s;
  const C fur{130, 80, 44}, snout{196, 150, 100};
  Leg(s, {148, 120}, {152, 162}, 20, 18, Dk(fur), Dk(fur, 0.6), false);
  Leg(s, {50, 120}, {44, 162}, 22, 18, Dk(fur), Dk(fur, 0.6), false);
  s.Ellipse({94, 86}, 78, 46, fur);
  s.Ellipse({116, 56}, 32, 22, fur);  // shoulder hump
  s.Ellipse({160, 58}, 11, 11, fur);  // ears
  s.Ellipse({188, 60}, 11, 11, fur);
  s.Ellipse({174, 84}, 33, 30, fur);
  s.Ellipse({202, 96}, 15, 12, snout);
  const size_t n = s.Mark();
  s.Limb({126, 118}, {126, 162}, 22, 19, fur);
  s.Limb({68, 118}, {72, 162}, 22, 19, fur);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({160, 58}, 5.5, 5.5, snout);
  s.Ellipse({188, 60}, 5.5, 5.5, snout);
  s.Ellipse({211, 92}, 5, 4, kBlack);
  s.Limb({196, 104}, {206, 104}, 1.5, 1.5, Dk(snout, 0.5));
  s.Ellipse({126, 166}, 18, 5, Dk(fur, 0.6));
  s.Ellipse({72, 166}, 18, 5, Dk(fur, 0.6));
  s.MarkDecor(d);
  s.Eye({168, 76}, 4, false);
  s.Eye({190, 78}, 4, false);
  return s;
}

Shape Owl() {
  Shape s;
  const C plumage{150, 110, 70}, face{230, 200, 150}, belly{220, 190, 140};
  s.Ellipse({22, 52}, 22, 30, plumage);
  s.Ellipse({22, 24}, 20, 18, plumage);
  s.Polygon({{4, 18}, {4, 0}, {14, 10}}, plumage);
  s.Polygon({{40, 18}, {40, 0}, {30, 10}}, plumage);
  s.Ellipse({16, 80}, 6, 3, kOrange);
  s.Ellipse({28, 80}, 6, 3, kOrange);
  const size_t d = s.Mark();
  s.Ellipse({22, 58}, 14, 20, belly);
  for (int k = 0; k < 3; ++k)
    for (int j = -1; j <= 1; ++j) s.Polygon({{22 + j * 8.0 - 3, 48 + k * 10.0}, {22 + j * 8.0 + 3, 48 + k * 10.0},
                                             {22 + j * 8.0, 52 + k * 10.0}},
                                            Dk(belly, 0.7));
  s.Ellipse({14, 24}, 9, 9, face);
  s.Ellipse({30, 24}, 9, 9, face);
  s.Polygon({{19, 30}, {25, 30}, {22, 38}}, kOrange);
  s.Ellipse({4, 56}, 5, 18, Dk(plumage), 0.1);
  s.Ellipse({40, 56}, 5, 18, Dk(plumage), -0.1);
  s.MarkDecor(d);
  s.Eye({14, 24}, 5);
  s.Eye({30, 24}, 5);
  return s;
}

Shape Squirrel() {
  Shape s;
  const C fur{196, 96, 40}, belly{250, 220, 180};
  s.Chain({{22, 54}, {8, 44}, {6, 22}, {16, 8}, {24, 10}}, 12, 9, Dk(fur, 0.92));
  s.Ellipse({34, 42}, 15, 19, fur);
  s.Ellipse({42, 20}, 11, 10, fur);
  s.Polygon({{34, 14}, {36, 0}, {42, 12}}, fur);
  s.Ellipse({50, 24}, 8, 6, fur);
  s.Ellipse({34, 60}, 12, 4, fur);
  const size_t d = s.Mark();
  s.Ellipse({40, 46}, 8, 13, belly);
  s.Ellipse({46, 38}, 4, 3, Dk(fur, 0.85));
  s.Ellipse({48, 40}, 4, 4, {140, 90, 50});  // a nut in its paws
  s.Ellipse({57, 23}, 1.6, 1.6, kBlack);
  s.MarkDecor(d);
  s.Eye({46, 18}, 2.6);
  return s;
}

Shape RoeDeer() {
  Shape s;
  const C coat{190, 120, 66}, belly{240, 224, 200};
  Leg(s, {114, 116}, {120, 204}, 7, 4, Dk(coat), kHoof, false);
  Leg(s, {54, 116}, {48, 204}, 8, 4, Dk(coat), kHoof, false);
  s.Ellipse({84, 100}, 48, 24, coat);
  s.Ellipse({52, 104}, 20, 22, coat);
  s.Limb({120, 92}, {140, 44}, 13, 10, coat);
  s.Limb({142, 38}, {166, 56}, 11, 6, coat);
  s.Ellipse({130, 26}, 6, 14, coat, -0.4);
  s.Ellipse({152, 26}, 6, 14, coat, 0.4);
  const size_t n = s.Mark();
  s.Limb({102, 116}, {100, 204}, 7, 4, coat);
  s.Limb({52, 118}, {62, 204}, 8, 4, coat);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({100, 204}, 5, 3, kHoof);
  s.Ellipse({62, 204}, 5, 3, kHoof);
  s.Ellipse({34, 98}, 8, 10, belly);
  s.Ellipse({84, 118}, 30, 7, belly);
  s.Ellipse({130, 28}, 3, 8, {240, 200, 180}, -0.4);
  s.Ellipse({166, 56}, 4, 3, kBlack);
  s.MarkDecor(d);
  s.Eye({148, 44}, 3.5, false);
  return s;
}

Shape Hare() {
  Shape s;
  const C fur{176, 140, 100}, light{236, 220, 196};
  s.Limb({34, 38}, {2, 54}, 9, 4, Dk(fur, 0.9));  // hind legs stretched back
  s.Ellipse({54, 32}, 34, 15, fur, -0.12);
  s.Ellipse({22, 28}, 6, 6, kWhite);
  s.Ellipse({88, 22}, 13, 11, fur);
  s.Limb({84, 14}, {66, 2}, 4.5, 3.5, fur);
  s.Limb({90, 12}, {80, 2}, 4.5, 3.5, fur);
  const size_t n = s.Mark();
  s.Limb({74, 38}, {102, 56}, 4, 3, fur);
  s.Limb({44, 40}, {16, 60}, 7, 3.5, fur);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({56, 40}, 22, 6, light, -0.12);
  s.Limb({82, 12}, {70, 4}, 1.6, 1.4, kPink);
  s.Ellipse({100, 24}, 1.6, 1.6, kBlack);
  s.MarkDecor(d);
  s.Eye({92, 19}, 2.4, false);
  return s;
}

Shape Fox() {
  Shape s;
  const C fur{226, 110, 34}, white{250, 246, 236}, dark{60, 36, 26};
  Leg(s, {94, 56}, {98, 92}, 4.5, 3.5, Dk(fur), dark, false);
  Leg(s, {40, 56}, {34, 92}, 5, 3.5, Dk(fur), dark, false);
  s.Chain({{34, 44}, {14, 56}, {4, 72}, {10, 82}}, 11, 7, fur);
  s.Ellipse({66, 46}, 38, 17, fur);
  s.Limb({98, 42}, {112, 30}, 12, 11, fur);
  s.Polygon({{112, 20}, {144, 38}, {112, 44}}, fur);
  s.Polygon({{102, 22}, {106, 0}, {116, 18}}, fur);
  s.Polygon({{114, 20}, {124, 2}, {126, 24}}, fur);
  const size_t n = s.Mark();
  s.Limb({84, 56}, {82, 92}, 4.5, 3.5, fur);
  s.Limb({50, 56}, {52, 92}, 5, 3.5, fur);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Limb({82, 86}, {82, 92}, 3.5, 3.5, dark);
  s.Limb({52, 86}, {52, 92}, 3.5, 3.5, dark);
  s.Ellipse({12, 80}, 6, 5, white);
  s.Polygon({{112, 36}, {140, 38}, {114, 46}}, white);
  s.Ellipse({96, 54}, 10, 6, white);
  s.Ellipse({143, 38}, 2, 2, kBlack);
  s.Polygon({{106, 8}, {108, 16}, {112, 16}}, dark);
  s.MarkDecor(d);
  s.Eye({120, 30}, 2.6, false);
  return s;
}

Shape Badger() {
  Shape s;
  const C fur{140, 140, 146}, dark{40, 40, 44};
  Leg(s, {118, 50}, {120, 73}, 9, 8, dark, dark, false);
  Leg(s, {34, 50}, {30, 73}, 9, 8, dark, dark, false);
  s.Polygon({{16, 38}, {0, 28}, {18, 28}}, fur);
  s.Ellipse({72, 38}, 64, 27, fur);
  s.Polygon({{120, 20}, {163, 46}, {156, 52}, {120, 56}}, kWhite);
  s.Ellipse({124, 38}, 18, 18, kWhite);
  s.Ellipse({120, 20}, 5, 4, kWhite);
  const size_t n = s.Mark();
  s.Limb({102, 52}, {100, 73}, 9, 8, dark);
  s.Limb({48, 52}, {50, 73}, 9, 8, dark);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({72, 58}, 50, 8, dark);
  s.Limb({120, 30}, {160, 46}, 4.5, 2, dark);
  s.Limb({124, 48}, {150, 52}, 3, 2, dark);
  s.Ellipse({160, 48}, 3, 3, kBlack);
  s.MarkDecor(d);
  s.Eye({138, 40}, 2.4, false);
  return s;
}

Shape Boar() {
  Shape s;
  // A dark hairy pig: a pig's snout disc with nostrils, big white tusks, bristles along the back.
  const C hide{104, 78, 60}, bristle{54, 40, 32}, tusk{255, 252, 240};
  Leg(s, {136, 76}, {140, 112}, 8, 6, Dk(hide), kHoof, false);
  Leg(s, {44, 76}, {38, 112}, 9, 6, Dk(hide), kHoof, false);
  s.Chain({{30, 46}, {12, 52}, {10, 66}}, 2.5, 2, hide);
  s.Ellipse({86, 54}, 62, 33, hide);
  s.Polygon({{56, 24}, {92, 14}, {136, 30}, {130, 42}, {64, 34}}, bristle);
  s.Polygon({{134, 34}, {186, 72}, {186, 90}, {150, 92}, {130, 76}}, hide);
  s.Polygon({{136, 40}, {146, 14}, {156, 42}}, hide);
  const size_t n = s.Mark();
  s.Limb({120, 78}, {118, 112}, 8, 6, hide);
  s.Limb({58, 78}, {62, 112}, 9, 6, hide);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({118, 112}, 6, 3, kHoof);
  s.Ellipse({62, 112}, 6, 3, kHoof);
  s.Ellipse({180, 81}, 7, 9.5, {214, 150, 140});  // snout disc
  s.Ellipse({178, 77}, 1.6, 2.4, {90, 50, 46});
  s.Ellipse({178, 86}, 1.6, 2.4, {90, 50, 46});
  s.Polygon({{160, 90}, {166, 70}, {172, 62}, {170, 74}, {166, 90}}, tusk);  // tusk curving up
  s.Polygon({{141, 38}, {146, 22}, {151, 38}}, {190, 140, 120});  // inner ear
  for (double x = 64; x <= 128; x += 8)  // bristles
    s.Limb({x, 28 - (x - 96) * (x - 96) / 260}, {x - 6, 18 - (x - 96) * (x - 96) / 260}, 1.6, 1, bristle);
  for (double x = 60; x <= 120; x += 15) s.Limb({x, 48}, {x + 6, 58}, 1.2, 1, Dk(hide, 0.8));  // coarse hair
  s.Limb({150, 66}, {170, 74}, 1.2, 1, Dk(hide, 0.7));  // a wrinkle on the snout
  s.MarkDecor(d);
  s.Eye({156, 52}, 3.4, false);
  return s;
}

Shape Elephant() {
  Shape s;
  const C skin{160, 164, 176}, tusk{250, 246, 230};
  Leg(s, {168, 140}, {172, 186}, 18, 17, Dk(skin, 0.85), Lt(skin, 0.3), false);
  Leg(s, {52, 140}, {46, 186}, 19, 17, Dk(skin, 0.85), Lt(skin, 0.3), false);
  s.Chain({{32, 80}, {14, 110}, {12, 130}}, 3, 2.5, skin);
  s.Ellipse({108, 90}, 80, 50, skin);
  s.Ellipse({194, 70}, 34, 38, skin);
  s.Chain({{216, 92}, {230, 130}, {236, 164}, {246, 172}}, 15, 8, skin);
  const size_t n = s.Mark();
  s.Ellipse({170, 72}, 28, 42, Dk(skin, 0.92), 0.1);  // ear
  s.Limb({146, 140}, {146, 186}, 20, 18, skin);
  s.Limb({74, 140}, {78, 186}, 20, 18, skin);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({170, 74}, 18, 30, {220, 180, 190}, 0.1);
  s.Chain({{208, 104}, {220, 120}, {232, 122}}, 4, 2.5, tusk);
  s.Ellipse({146, 188}, 16, 4, Lt(skin, 0.4));
  s.Ellipse({78, 188}, 16, 4, Lt(skin, 0.4));
  s.MarkDecor(d);
  s.Eye({212, 62}, 4, false);
  return s;
}

Shape Lioness() {
  Shape s;
  const C coat{214, 164, 92}, light{242, 214, 160};
  Leg(s, {100, 40}, {108, 70}, 6, 4.5, Dk(coat), Dk(coat, 0.7), false);
  Leg(s, {42, 40}, {32, 70}, 7, 4.5, Dk(coat), Dk(coat, 0.7), false);
  s.Chain({{28, 28}, {14, 38}, {8, 54}, {14, 62}}, 3, 2.4, coat);
  s.Ellipse({14, 63}, 4, 4, {110, 70, 40});
  s.Ellipse({68, 32}, 44, 16, coat);
  s.Ellipse({46, 36}, 16, 16, coat);
  s.Ellipse({104, 28}, 16, 16, coat);
  s.Limb({110, 24}, {124, 18}, 12, 11, coat);
  s.Ellipse({138, 24}, 9, 8, coat);
  s.Ellipse({118, 8}, 4, 4, coat);
  const size_t n = s.Mark();
  s.Limb({88, 40}, {90, 70}, 6, 4.5, coat);
  s.Limb({50, 44}, {58, 70}, 7, 4.5, coat);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({68, 42}, 30, 6, light);
  s.Ellipse({138, 28}, 7, 5, light);
  s.Ellipse({145, 23}, 2.2, 2, {110, 70, 60});
  s.MarkDecor(d);
  s.Eye({128, 18}, 2.6, false);
  return s;
}

Shape Giraffe() {
  Shape s;
  const C coat{238, 196, 90}, patch{176, 100, 40};
  Leg(s, {104, 160}, {112, 266}, 7, 4.5, Dk(coat), kHoof, false);
  Leg(s, {44, 160}, {36, 266}, 7, 4.5, Dk(coat), kHoof, false);
  s.Chain({{24, 140}, {16, 170}, {14, 196}}, 2.5, 2, coat);
  s.Ellipse({70, 150}, 50, 28, coat, -0.2);
  s.Limb({104, 136}, {142, 36}, 17, 10, coat);
  s.Limb({142, 30}, {168, 44}, 11, 7, coat);
  s.Limb({136, 22}, {134, 6}, 2.5, 3.5, coat);
  s.Limb({146, 22}, {148, 6}, 2.5, 3.5, coat);
  s.Ellipse({128, 28}, 8, 4, coat, -0.3);
  const size_t n = s.Mark();
  s.Limb({92, 162}, {90, 266}, 7, 4.5, coat);
  s.Limb({54, 166}, {58, 266}, 7, 4.5, coat);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({90, 266}, 5, 3, kHoof);
  s.Ellipse({58, 266}, 5, 3, kHoof);
  for (auto [x, y] : std::initializer_list<std::pair<double, double>>{
           {50, 140}, {74, 132}, {96, 140}, {62, 158}, {86, 158}, {38, 156}, {110, 118}, {118, 96},
           {126, 76}, {132, 56}, {112, 106}})
    s.Ellipse({x, y}, 8, 6, patch, 0.4);
  s.Ellipse({134, 5}, 3.5, 3.5, {110, 70, 40});
  s.Ellipse({148, 5}, 3.5, 3.5, {110, 70, 40});
  s.Ellipse({168, 44}, 2, 2, kBlack);
  s.MarkDecor(d);
  s.Eye({148, 32}, 3, false);
  return s;
}

Shape Kangaroo() {
  Shape s;
  const C fur{190, 120, 80}, light{236, 200, 170};
  s.Chain({{52, 62}, {24, 80}, {0, 92}}, 8, 3, fur);
  s.Ellipse({82, 52}, 38, 20, fur, -0.35);
  s.Limb({108, 38}, {124, 26}, 9, 9, fur);
  s.Polygon({{118, 16}, {152, 28}, {122, 38}}, fur);
  s.Limb({118, 18}, {114, 0}, 3.5, 3, fur);
  s.Limb({124, 18}, {126, 0}, 3.5, 3, fur);
  const size_t n = s.Mark();
  s.Ellipse({64, 66}, 16, 14, fur);
  s.Chain({{64, 72}, {40, 96}, {14, 104}}, 8, 3.5, fur);
  s.Limb({104, 52}, {118, 62}, 3, 2.5, fur);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({90, 58}, 14, 8, light, -0.35);
  s.Ellipse({98, 62}, 10, 6.5, Dk(fur, 0.85), -0.35);  // the pouch, with a joey looking out
  s.Ellipse({99, 52}, 7, 6.5, Lt(fur, 0.15));
  s.Polygon({{95, 48}, {93, 38}, {99, 46}}, Lt(fur, 0.15));
  s.Polygon({{100, 46}, {104, 37}, {104, 48}}, Lt(fur, 0.15));
  s.Ellipse({106, 54}, 2, 1.8, kBlack);
  s.Ellipse({100, 51}, 1.6, 1.6, kBlack);
  s.Limb({34, 101}, {14, 104}, 4.2, 3.5, Dk(fur, 0.7));  // the big hind foot
  s.Limb({20, 86}, {2, 92}, 4, 2.5, Dk(fur, 0.75));      // the tail's end
  s.Ellipse({116, 10}, 1.6, 6, kPink);  // inner ears
  s.Ellipse({125, 10}, 1.6, 6, kPink);
  s.Ellipse({151, 28}, 2.4, 2.4, kBlack);
  s.MarkDecor(d);
  s.Eye({132, 26}, 3, false);
  return s;
}

Shape LyingLion() {
  Shape s;
  const C coat{214, 160, 84}, mane{150, 80, 30}, light{244, 214, 160};
  s.Chain({{26, 86}, {8, 92}, {3, 84}}, 3, 2.5, coat);
  s.Ellipse({3, 80}, 5, 5, mane);
  s.Ellipse({64, 82}, 48, 14, coat);
  s.Ellipse({34, 76}, 17, 17, coat);
  s.Ellipse({96, 72}, 18, 20, coat);  // chest
  s.Ellipse({110, 36}, 28, 28, mane);
  const size_t n = s.Mark();
  s.Ellipse({114, 40}, 17, 18, coat);
  s.Limb({96, 90}, {146, 94}, 7, 6.5, coat);
  s.Limb({88, 94}, {132, 96}, 5.5, 5, coat);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({114, 50}, 10, 7, light);
  s.Ellipse({114, 46}, 4, 3, {110, 60, 50});
  s.Limb({109, 54}, {119, 54}, 1, 1, {110, 60, 50});
  s.Ellipse({99, 24}, 5, 5, coat);
  s.Ellipse({129, 24}, 5, 5, coat);
  s.Ellipse({60, 90}, 34, 5, light);
  s.MarkDecor(d);
  s.Eye({107, 36}, 3, false);
  s.Eye({121, 36}, 3, false);
  return s;
}

Shape Zebra() {
  Shape s;
  const C white{248, 248, 246}, black{34, 34, 38};
  Leg(s, {132, 86}, {136, 138}, 8, 5, Dk(white, 0.85), black, false);
  Leg(s, {56, 86}, {50, 138}, 9, 5, Dk(white, 0.85), black, false);
  s.Chain({{36, 52}, {26, 74}, {26, 96}}, 3, 2.5, white);
  s.Ellipse({26, 98}, 4, 6, black);
  s.Ellipse({88, 66}, 56, 28, white);
  s.Ellipse({62, 76}, 22, 22, white);
  s.Limb({136, 60}, {158, 22}, 18, 12, white);
  s.Limb({160, 18}, {190, 46}, 12, 8, white);
  s.Chain({{144, 38}, {152, 14}, {160, 4}}, 4, 3, black);  // upright mane
  s.Polygon({{154, 10}, {158, 0}, {164, 10}}, white);
  const size_t n = s.Mark();
  s.Limb({118, 86}, {116, 138}, 8, 5, white);
  s.Limb({62, 90}, {66, 138}, 9, 5, white);
  s.MarkContour(n);
  const size_t d = s.Mark();
  for (int k = 0; k < 7; ++k) {
    const double x = 46 + k * 14;
    s.Limb({x, 40}, {x - 6 + (k % 2) * 4, 88}, 3, 2, black);
  }
  for (int k = 0; k < 4; ++k) s.Limb({138 + k * 5.0, 70 - k * 12.0}, {160 + k * 4.0, 64 - k * 12.0}, 2.5, 2, black);
  for (double y : {100.0, 112.0, 124.0})
    for (double x : {50.0, 66.0, 116.0, 134.0}) s.Limb({x - 7, y}, {x + 7, y + 2}, 2, 2, black);
  s.Ellipse({116, 138}, 6, 3, black);
  s.Ellipse({66, 138}, 6, 3, black);
  s.Ellipse({186, 44}, 7, 6, black);
  s.MarkDecor(d);
  s.Eye({170, 24}, 3, false);
  return s;
}

Shape Rhino() {
  Shape s;
  const C skin{130, 140, 150}, horn{210, 200, 180};
  Leg(s, {130, 74}, {134, 104}, 12, 11, Dk(skin, 0.85), Dk(skin, 0.6), false);
  Leg(s, {40, 74}, {34, 104}, 12, 11, Dk(skin, 0.85), Dk(skin, 0.6), false);
  s.Chain({{36, 48}, {10, 56}, {10, 66}}, 2.5, 2, skin);
  s.Ellipse({82, 52}, 56, 30, skin);
  s.Polygon({{130, 30}, {176, 66}, {172, 84}, {140, 86}, {120, 70}}, skin);
  s.Polygon({{160, 58}, {174, 24}, {176, 62}}, horn);
  s.Polygon({{148, 46}, {154, 34}, {158, 50}}, horn);
  s.Ellipse({132, 28}, 5, 9, skin, -0.3);
  const size_t n = s.Mark();
  s.Limb({112, 76}, {110, 104}, 12, 11, skin);
  s.Limb({56, 76}, {60, 104}, 12, 11, skin);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({110, 106}, 12, 3, Dk(skin, 0.6));
  s.Ellipse({60, 106}, 12, 3, Dk(skin, 0.6));
  s.Limb({96, 30}, {102, 80}, 1.2, 1.2, Dk(skin, 0.75));
  s.MarkDecor(d);
  s.Eye({144, 58}, 2.6, false);
  return s;
}

Shape Cub() {
  Shape s;
  // A little lion: a golden coat and a first fluffy mane around the face, a tuft on the tail.
  const C coat{236, 186, 96}, light{252, 236, 200}, spot{214, 160, 80}, mane{196, 116, 44};
  s.Chain({{20, 64}, {6, 62}, {4, 50}}, 3.5, 3, coat);
  s.Ellipse({4, 48}, 4, 4, mane);
  s.Ellipse({36, 52}, 22, 19, coat);
  s.Ellipse({44, 14}, 8, 8, coat);
  s.Ellipse({72, 15}, 8, 8, coat);
  s.Ellipse({58, 30}, 23, 21, coat);
  const size_t n = s.Mark();
  s.Limb({52, 46}, {54, 68}, 7, 7, coat);
  s.Limb({64, 46}, {68, 68}, 7, 7, coat);
  s.Ellipse({56, 70}, 8, 4, coat);
  s.Ellipse({70, 70}, 8, 4, coat);
  s.Ellipse({26, 64}, 14, 9, coat);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({58, 30}, 23, 21, mane);  // the mane's ring, the face inside it
  s.Ellipse({58, 33}, 15, 14, coat);
  s.Ellipse({44, 14}, 4, 4, Dk(mane, 0.8));
  s.Ellipse({72, 15}, 4, 4, Dk(mane, 0.8));
  s.Ellipse({53, 40}, 6.5, 5.5, light);  // muzzle
  s.Ellipse({63, 40}, 6.5, 5.5, light);
  s.Polygon({{54, 34}, {62, 34}, {58, 39}}, {110, 60, 50});
  s.Limb({58, 39}, {58, 43}, 0.8, 0.8, {110, 60, 50});
  for (auto [x, y] : std::initializer_list<std::pair<double, double>>{{24, 48}, {34, 42}, {30, 58}, {44, 60}})
    s.Ellipse({x, y}, 3, 2.5, spot);
  s.MarkDecor(d);
  s.Eye({49, 26}, 5);
  s.Eye({67, 26}, 5);
  return s;
}

Shape Hippo() {
  Shape s;
  const C skin{150, 120, 150}, belly{214, 170, 180};
  Leg(s, {104, 56}, {106, 78}, 10, 9, Dk(skin, 0.85), Dk(skin, 0.6), false);
  Leg(s, {34, 56}, {30, 78}, 10, 9, Dk(skin, 0.85), Dk(skin, 0.6), false);
  s.Ellipse({70, 44}, 50, 23, skin);
  s.Ellipse({118, 36}, 20, 20, skin);
  s.Ellipse({132, 52}, 13, 11, skin);
  s.Ellipse({110, 19}, 5, 5, skin);
  s.Ellipse({126, 19}, 5, 5, skin);
  const size_t n = s.Mark();
  s.Limb({90, 58}, {88, 78}, 10, 9, skin);
  s.Limb({48, 58}, {50, 78}, 10, 9, skin);
  s.MarkContour(n);
  const size_t d = s.Mark();
  s.Ellipse({70, 58}, 40, 8, belly);
  s.Ellipse({132, 54}, 10, 7, belly);
  s.Ellipse({138, 48}, 2, 1.6, Dk(skin, 0.5));
  s.MarkDecor(d);
  s.Eye({120, 28}, 3, false);
  return s;
}

}  // namespace

Shape DrawAnimal(int set, int code) {
  switch (set * 100 + code) {
    case 101: return Dove();
    case 103: return Hamster();
    case 104: return Mouse();
    case 105: return Cat();
    case 106: return Parrot();
    case 107: return Dog();
    case 108: return Tortoise();
    case 201: return Horse();
    case 202: return Cow();
    case 203: return Sheep();
    case 204: return Goat();
    case 205: return Rooster();
    case 206: return Hen();
    case 207: return Turkey();
    case 208: return Pig();
    case 209: return Goose();
    case 210: return Duck();
    case 301: return Stag();
    case 302: return Bear();
    case 303: return Owl();
    case 304: return Squirrel();
    case 305: return RoeDeer();
    case 306: return Hare();
    case 307: return Fox();
    case 308: return Badger();
    case 309: return Boar();
    case 401: return Elephant();
    case 402: return Lioness();
    case 403: return Giraffe();
    case 404: return Kangaroo();
    case 405: return LyingLion();
    case 406: return Zebra();
    case 407: return Rhino();
    case 408: return Cub();
    case 409: return Hippo();
    default: return {};
  }
}

}  // namespace ozzel::art
