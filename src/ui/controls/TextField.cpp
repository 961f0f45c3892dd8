#include "ui/controls/TextField.h"

#include <GL/gl.h>

#include "scene/Camera.h"
#include "scene/Font.h"
#include "core/Clock.h"
#include "shell/RenderWindow.h"

OTextField::OTextField(OFont* font, const std::string& initialText, u32 id, bool tabStop)
    : OControl(id, tabStop), font(font) {
  x = 0;
  y = 0;
  w = 150;
  h = 25;
  activation = 1;
  drawFill = true;
  drawFrame = true;
  SetText(initialText);
}

u16 OTextField::Room() const { return w > 2 ? static_cast<u16>(w - 2) : 0; }

i32 OTextField::Width(const std::string& s) const { return font ? font->TextWidth(s) : 0; }

i32 OTextField::Fit(const std::string& s, u16 limit) const {
  return font ? font->FitCount(s, limit) : static_cast<i32>(s.size());
}

void OTextField::SetText(const std::string& newText) {
  text = newText;
  caret = static_cast<i32>(text.size());
  scroll = Width(text) > w - 2 ? ScrollForCaret() : 0;
}

void OTextField::SetSize(i16 nw, i16 nh) {
  O2D::SetSize(nw, nh);
  SetText(text);
}

bool OTextField::IsBlank() const { return text.find_first_not_of(' ') == std::string::npos; }

i32 OTextField::ScrollForCaret() const {
  const std::string before(text.rbegin() + (text.size() - caret), text.rend());
  return caret - Fit(before, Room());
}

void OTextField::MoveCaretRight() {
  if (caret >= static_cast<i32>(text.size())) return;
  ++caret;
  if (Width(text.substr(0, caret)) >= Width(text.substr(0, scroll)) + w - 2) {
    scroll = ScrollForCaret();
  }
}

void OTextField::MoveCaretLeft() {
  if (caret <= 0) return;
  --caret;
  if (scroll > caret) scroll = caret;
}

void OTextField::OnEnterPressed() {}

bool OTextField::HitTest(const OInputEvent& event) {
  if (hidden) return false;
  f32 vx = 0.0f, vy = 0.0f;
  if (!OverlayPoint(event, vx, vy)) return false;
  return x <= vx && vx < x + w && y <= vy && vy < y + h;
}

bool OTextField::HandleInput(const OInputEvent& event) {
  switch (event.type) {
    case EV_BUTTONDOWN:
      Highlight();
      return true;
    case EV_CHAR:
      if (event.key != VK_BACK && event.key != VK_RETURN &&
          (accepts == nullptr || accepts(static_cast<u8>(event.key & 0xFF))) &&
          static_cast<i32>(text.size()) < maxLength) {
        text.insert(text.begin() + caret, static_cast<char>(event.key & 0xFF));
        MoveCaretRight();
      }
      return true;
    case EV_KEYDOWN:
      switch (event.key) {
        case VK_BACK:
          if (caret > 0) {
            text.erase(caret - 1, 1);
            --caret;
            if (scroll >= 1) {
              const i32 n = Fit(text.substr(scroll), Room());
              // Caret at the right edge: keep it there; otherwise show one more character on
              // the left.
              if (scroll + n == caret) {
                scroll = ScrollForCaret();
              } else {
                --scroll;
              }
            }
          }
          return true;
        case VK_DELETE:
          if (caret < static_cast<i32>(text.size())) text.erase(caret, 1);
          return true;
        case VK_HOME:
          caret = 0;
          scroll = 0;
          return true;
        case VK_END:
          caret = static_cast<i32>(text.size());
          if (Width(text) > w - 2) scroll = ScrollForCaret();
          return true;
        case VK_LEFT:
          MoveCaretLeft();
          return true;
        case VK_RIGHT:
          MoveCaretRight();
          return true;
        case VK_RETURN:
          OnEnterPressed();
          return SendCommand(commandId, 0);
        default:
          return false;
      }
    default:
      return true;
  }
}

void OTextField::Draw() {
  if (hidden) return;
  const u16 vw = owner ? owner->overlayWidth : 512;
  const u16 vh = owner ? owner->overlayHeight : 512;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  Ortho2D(vw, vh);
  glEnable(GL_TEXTURE_2D);
  if (drawFill) {
    DrawFill();
    glEnable(GL_TEXTURE_2D);
  }
  if (drawFrame) {
    DrawFrame();
    glEnable(GL_TEXTURE_2D);
  }
  if (font != nullptr) {
    glTranslatef(x + 1.0f, y - 6.0f, 0.0f);
    font->PrintClipped(Room(), text.substr(scroll), 1.0f, false);
  }
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
  glColor3f(0.0f, 0.0f, 1.0f);
  if (highlighted) {
    const i32 caretX = x - Width(text.substr(0, scroll)) + Width(text.substr(0, caret));
    // Blinks once a second, shown in the second half.
    if (GetTicks() % 1000 > 500) glRectf(caretX, y + h - 2, caretX + 2, y + 2);
  }
  glEnable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}
