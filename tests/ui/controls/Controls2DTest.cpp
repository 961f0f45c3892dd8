// The flat controls: image button, text field and selector, driven without a window.
#include <gtest/gtest.h>

#include <string>

#include "ControlTestSupport.h"
#include "scene/Font.h"
#include "ui/controls/Button2D.h"
#include "ui/controls/TextField.h"
#include "ui/controls/TextStack.h"

using namespace ui_test;

TEST(Button2DTest, FiresOnReleaseAndEnterAndHitsOnlyInsideItsRectangle) {
  CommandScreen screen;
  auto* button = new OButton2D(7, false);
  button->SetRect(100, 100, 100, 50);
  screen.AddControl(button);

  // Left press and release over it: one command with 1.
  screen.HandleInput(At(EV_MOUSEMOVE, 150, 120));
  EXPECT_FALSE(screen.HandleInput(At(EV_BUTTONDOWN, 150, 120)));
  EXPECT_TRUE(screen.HandleInput(At(EV_BUTTONUP, 150, 120)));
  ASSERT_EQ(screen.commands.size(), 1u);
  EXPECT_EQ(screen.commands[0], std::make_pair(7u, 1u));
  // Pressed, dragged off and released outside: nothing; dragged back in: it fires.
  button->HandleInput(At(EV_BUTTONDOWN, 150, 120));
  button->HandleInput(At(EV_MOUSEMOVE, 10, 10));
  EXPECT_FALSE(button->HandleInput(At(EV_BUTTONUP, 10, 10)));
  button->HandleInput(At(EV_BUTTONDOWN, 150, 120));
  button->HandleInput(At(EV_MOUSEMOVE, 10, 10));
  button->HandleInput(At(EV_MOUSEMOVE, 120, 110));
  EXPECT_TRUE(button->HandleInput(At(EV_BUTTONUP, 120, 110)));
  EXPECT_EQ(screen.commands.size(), 2u);
  // Enter as a key-down fires it (it holds the keyboard focus on screens with tab stops).
  EXPECT_TRUE(button->HandleInput(MakeEvent(EV_KEYDOWN, VK_RETURN)));
  EXPECT_EQ(screen.commands.size(), 3u);

  // A smaller hit rectangle: only inside it counts; right and top edges are outside.
  button->SetHitRect(100.0f, 330.0f, 100.0f, 20.0f);
  EXPECT_TRUE(button->HitTest(At(EV_MOUSEMOVE, 199, 349)));
  EXPECT_FALSE(button->HitTest(At(EV_MOUSEMOVE, 200, 340)));
  EXPECT_FALSE(button->HitTest(At(EV_MOUSEMOVE, 150, 350)));
  // A hidden button still answers; a disabled one never does.
  button->hidden = true;
  EXPECT_TRUE(button->HitTest(At(EV_MOUSEMOVE, 150, 340)));
  button->disabled = true;
  EXPECT_FALSE(button->HitTest(At(EV_MOUSEMOVE, 150, 340)));
}

namespace {

// A field on a screen, with every character 10 pixels wide: a 150-wide field shows 14.
struct FieldFixture {
  FieldFixture() : font("Font.Tga") {
    field = new OTextField(&font, "", 3, true);
    field->SetPosition(50, 50);
    screen.AddControl(field);
  }
  void Type(const std::string& s) {
    for (char c : s) field->HandleInput(MakeEvent(EV_CHAR, static_cast<u8>(c)));
  }
  bool Press(u16 key) { return field->HandleInput(MakeEvent(EV_KEYDOWN, key)); }
  OFont font;
  CommandScreen screen;
  OTextField* field;
};

}  // namespace

TEST(TextFieldTest, EditingLengthAndScrolling) {
  FieldFixture f;
  OTextField& field = *f.field;
  f.Type("abc");
  // Characters go in at the caret; Delete takes the one after it, and at the end nothing.
  f.Press(VK_LEFT);
  f.Type("X");
  EXPECT_EQ(field.text, "abXc");
  EXPECT_TRUE(f.Press(VK_DELETE));
  EXPECT_TRUE(f.Press(VK_DELETE));
  EXPECT_EQ(field.text, "abX");
  // Backspace and Enter as characters are not typed.
  f.Type("\b\r");
  EXPECT_EQ(field.text, "abX");
  // Backspace and Left at 0 do nothing.
  f.Press(VK_HOME);
  EXPECT_TRUE(f.Press(VK_BACK));
  EXPECT_TRUE(f.Press(VK_LEFT));
  EXPECT_EQ(field.text, "abX");
  EXPECT_EQ(field.caret, 0);
  // The 21st character of a 20-character field is dropped.
  field.SetText("");
  f.Type(std::string(20, 'n'));
  EXPECT_TRUE(field.HandleInput(MakeEvent(EV_CHAR, 'z')));
  EXPECT_EQ(field.text, std::string(20, 'n'));
  // Enter reports the entry with 0; unknown keys are left to the screen.
  EXPECT_TRUE(f.Press(VK_RETURN));
  ASSERT_EQ(f.screen.commands.size(), 1u);
  EXPECT_EQ(f.screen.commands[0], std::make_pair(3u, 0u));
  EXPECT_FALSE(f.Press(VK_F1));

  // 18 characters of 10 pixels in 148 pixels of room: the caret stays at the right edge, the
  // first 4 characters scroll out. Home shows the start again; End brings the end back.
  field.SetText("");
  f.Type("abcdefghijklmnopqr");
  EXPECT_EQ(field.scroll, 4);
  f.Press(VK_HOME);
  EXPECT_EQ(field.scroll, 0);
  f.Press(VK_END);
  EXPECT_EQ(field.scroll, 4);
  // Backspace with the caret at the right edge keeps it there.
  f.Press(VK_BACK);
  EXPECT_EQ(field.caret, 17);
  EXPECT_EQ(field.scroll, 3);
  // A field narrower than its margins shows nothing and scrolls to the caret.
  field.SetSize(1, 25);
  EXPECT_EQ(field.scroll, 17);
  // Erasing a wide last character at the right edge may leave room for the whole text.
  FieldFixture wide;
  wide.font.advance['W' - 32] = 40.0f;
  wide.Type("aaaaaaaaaaaaW");
  EXPECT_EQ(wide.field->scroll, 2);
  wide.Press(VK_BACK);
  EXPECT_EQ(wide.field->scroll, 0);
}

TEST(TextStackTest, ItemsAndCycling) {
  OFont font("Font.Tga");
  CommandScreen screen;
  auto* stack = new OTextStack(&font, 11, false, 0.5f);
  stack->SetPosition(100, 100);
  screen.AddControl(stack);
  // Empty: a click reports nothing.
  EXPECT_FALSE(stack->HandleInput(At(EV_BUTTONDOWN, 101, 101)));

  stack->AddItem("Low", 0);
  stack->AddItem("Medium", 1);
  stack->AddItem("High", 2);

  // A click while the last key (the last added) is current wraps to the first and reports it;
  // only the left button cycles.
  EXPECT_TRUE(stack->HandleInput(At(EV_BUTTONDOWN, 101, 101)));
  ASSERT_EQ(screen.commands.size(), 1u);
  EXPECT_EQ(screen.commands[0], std::make_pair(11u, 0u));
  EXPECT_FALSE(stack->HandleInput(At(EV_BUTTONDOWN, 101, 101, 2)));
  EXPECT_EQ(stack->GetValue(), 0);
  // The hit area is the rectangle (sized to "Low", 30 x 32) scaled by 0.5.
  EXPECT_TRUE(stack->HitTest(At(EV_MOUSEMOVE, 114, 115)));
  EXPECT_FALSE(stack->HitTest(At(EV_MOUSEMOVE, 115, 110)));
  // An unknown key leaves nothing current, and the next click starts from the first entry.
  stack->SetValue(9);
  EXPECT_FALSE(stack->HasCurrent());
  stack->Next();
  EXPECT_EQ(stack->GetValue(), 0);
}
