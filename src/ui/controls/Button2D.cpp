#include "ui/controls/Button2D.h"

#include <GL/gl.h>

#include "assets/Texture.h"
#include "scene/Camera.h"
#include "shell/RenderWindow.h"

namespace {
// GL_CLAMP_TO_EDGE (OpenGL 1.2, which every driver the game runs on has).
constexpr GLint kClampToEdge = 0x812F;
}  // namespace

OButton2D::OButton2D(u32 id, bool tabStop) : OControl(id, tabStop) {}

OButton2D::~OButton2D() {
  delete normalImage;
  delete activeImage;
  delete maskImage;
}

bool OButton2D::LoadImages(const std::string& normalName, const std::string& activeName,
                           const std::string& maskName) {
  delete normalImage;
  delete activeImage;
  delete maskImage;
  normalImage = new OTexture();
  activeImage = new OTexture();
  maskImage = new OTexture();
  normalImage->Load(normalName);
  activeImage->Load(activeName);
  maskImage->Load(maskName);
  return true;
}

void OButton2D::SetRect(f32 rx, f32 ry, f32 rw, f32 rh) {
  x = static_cast<i16>(rx);
  y = static_cast<i16>(ry);
  w = static_cast<i16>(rw);
  h = static_cast<i16>(rh);
  SetHitRect(rx, ry, rw, rh);
}

void OButton2D::SetHitRect(f32 rx, f32 ry, f32 rw, f32 rh) {
  hitX = rx;
  hitY = ry;
  hitW = rw;
  hitH = rh;
}

bool OButton2D::HitTest(const OInputEvent& event) {
  if (disabled) return false;
  f32 vx = 0.0f, vy = 0.0f;
  if (!OverlayPoint(event, vx, vy)) return false;
  return hitX <= vx && vx < hitX + hitW && hitY <= vy && vy < hitY + hitH;
}

bool OButton2D::Focusable() const { return !hidden && !disabled; }

bool OButton2D::Activate() { return SendCommand(commandId, 1); }

bool OButton2D::HandleInput(const OInputEvent& event) {
  switch (event.type) {
    case EV_BUTTONDOWN:
      if (event.button == 0) pressState = 1;
      return false;
    case EV_MOUSEMOVE:
      if (pressState != 0) pressState = HitTest(event) ? 1 : 2;
      return false;
    case EV_BUTTONUP:
      if (pressState == 1) {
        pressState = 0;
        return SendCommand(commandId, 1);
      }
      pressState = 0;
      return false;
    case EV_KEYDOWN:
      if (event.key == VK_RETURN) return SendCommand(commandId, 1);
      return false;
    default:
      return false;
  }
}

void OButton2D::DrawStrip() const {
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(x, y, 0.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(x + w, y, 0.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(x, y + h, 0.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(x + w, y + h, 0.0f);
  glEnd();
}

void OButton2D::Draw() {
  if (hidden) return;
  const u16 vw = owner ? owner->overlayWidth : 512;
  const u16 vh = owner ? owner->overlayHeight : 512;
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  Ortho2D(vw, vh);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);

  // The mask darkens the button's shape out of what is behind it; the picture is then added
  // into that hole, so the pictures carry the button on black.
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  if (maskImage != nullptr) maskImage->Bind();
  // Clamped to the picture's own edge: plain clamping would filter the black texture border into
  // the outermost pixels and draw a dark frame round every button.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, kClampToEdge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kClampToEdge);
  DrawStrip();

  glBlendFunc(GL_ONE, GL_ONE);
  // A disabled button is drawn at a third of its light and never glows: it shows it cannot act.
  if (disabled) glColor4f(0.33f, 0.33f, 0.33f, 1.0f);
  OTexture* picture = (!disabled && highlighted) ? activeImage : normalImage;
  if (picture != nullptr) picture->Bind();
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, kClampToEdge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kClampToEdge);
  DrawStrip();
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
}
