#pragma once
// A one-line text entry (the player's name on the high-score screen): a framed box with a
// blinking caret that scrolls the text sideways when it is longer than the box. A press over
// it takes the highlight and keeps the field receiving input; Enter reports the entry.
#include <string>

#include "shell/Control.h"
#include "ui/controls/Control2D.h"

class OFont;

class OTextField : public OControl, public O2D {
public:
  // The font is the application's; it must outlive the field.
  OTextField(OFont* font, const std::string& initialText, u32 id, bool tabStop);

  bool HandleInput(const OInputEvent& event) override;
  bool Focusable() const override { return !hidden; }
  void Draw() override;
  bool HitTest(const OInputEvent& event) override;
  // Called on Enter, before the command is sent.
  virtual void OnEnterPressed();

  // Caret to the end, scrolled so that the end shows when the text is wider than the box.
  void SetText(const std::string& newText);
  // Resizes and lays the current text out again.
  void SetSize(i16 nw, i16 nh);
  // Nothing but spaces (or nothing at all).
  bool IsBlank() const;

  // The scroll that puts the caret at the right edge of the visible part.
  i32 ScrollForCaret() const;
  void MoveCaretRight();
  void MoveCaretLeft();

  std::string text;
  i32 scroll = 0;      // index of the first visible character
  i32 caret = 0;       // 0..length
  i32 maxLength = 20;  // characters
  // Which typed characters go in; null takes every one.
  bool (*accepts)(u8 c) = nullptr;
  OFont* font;         // not owned
  bool hidden = false; // draws nothing and never hits

private:
  // Pixels of the text area: the box less one pixel each side.
  u16 Room() const;
  i32 Width(const std::string& s) const;
  i32 Fit(const std::string& s, u16 limit) const;
};
