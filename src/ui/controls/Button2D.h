#pragma once
// An image button of the menu screens: three pictures of one button (normal, active when
// highlighted, and a mask that is black where the button's shape is). It fires on the release
// of a left press over it, or on Enter while it has the keyboard focus.
#include <string>

#include "shell/Control.h"
#include "ui/controls/Control2D.h"

class OTexture;

class OButton2D : public OControl, public O2D {
public:
  OButton2D(u32 id, bool tabStop);
  ~OButton2D() override;

  bool HandleInput(const OInputEvent& event) override;
  bool Focusable() const override;  // not while hidden or disabled
  bool Activate() override;         // the command, as a click
  void Draw() override;
  // Over the hit rectangle, half-open on the right and top; never while disabled.
  bool HitTest(const OInputEvent& event) override;

  // Loads the three pictures ("Menu/nOk.Tga", "Menu/aOk.Tga", "Menu/mOk.Tga"); a missing one
  // throws OFileNotFound.
  bool LoadImages(const std::string& normalName, const std::string& activeName,
                  const std::string& maskName);
  // The drawn rectangle (truncated to whole overlay units) and the hit rectangle (as given).
  void SetRect(f32 rx, f32 ry, f32 rw, f32 rh);
  void SetHitRect(f32 rx, f32 ry, f32 rw, f32 rh);

  OTexture* normalImage = nullptr;  // owned
  OTexture* activeImage = nullptr;
  OTexture* maskImage = nullptr;
  f32 hitX = 0.0f;  // the area that reacts to the pointer, overlay units
  f32 hitY = 0.0f;
  f32 hitW = 0.0f;
  f32 hitH = 0.0f;
  bool hidden = false;    // draws nothing, still answers HitTest
  bool disabled = false;  // never hits, drawn with the normal picture
  i32 pressState = 0;     // 0 idle, 1 pressed with the pointer inside, 2 pressed, pointer outside

private:
  void DrawStrip() const;
};
