#pragma once
// A value selector of the options screen: shows one text of a keyed list and moves to the next
// entry (wrapping round) on each left click, reporting the new entry's key. Its text pulses
// while the pointer is over it.
#include <map>
#include <string>

#include "shell/Control.h"
#include "ui/controls/Control2D.h"

class OFont;

class OTextStack : public OControl, public O2D {
public:
  // The font is the application's; it must outlive the selector. scale: text size factor.
  OTextStack(OFont* font, u32 id, bool tabStop, f32 scale);

  bool HandleInput(const OInputEvent& event) override;
  void Draw() override;
  // Over the rectangle scaled by `scale`.
  bool HitTest(const OInputEvent& event) override;
  void Highlight() override;
  void Unhighlight() override;

  // A text already listed (under any key) is not added again; a key already listed gets the new
  // text. The new entry becomes current.
  void AddItem(const std::string& itemText, i32 key);
  // The entry with exactly this key becomes current; none when no entry has it. The selector
  // takes the width of its text (a narrower one would be cut off).
  void SetValue(i32 key);
  // The current key; -1 when no entry is current.
  i32 GetValue() const;
  // The next key in ascending order, wrapping round; the first when none was current.
  void Next();
  void Previous();
  // Enter: the next item, as a click. Left/Right: the previous or next item. Both report it.
  bool Activate() override;
  bool Step(i32 direction) override;
  bool HasCurrent() const { return current != items.end(); }

  std::map<i32, std::string> items;
  std::map<i32, std::string>::iterator current;
  OFont* font;  // not owned
  bool pulsing = false;
  f32 scale;

private:
  void FitToCurrent();
};
