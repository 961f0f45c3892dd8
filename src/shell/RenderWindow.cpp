#include "shell/RenderWindow.h"

#include <algorithm>

#include <GL/gl.h>

#include "assets/Texture.h"
#include "scene/Camera.h"
#include "shell/Control.h"

namespace {
// The character of a used Enter or Tab key, still to come; 0 for none. One for all screens: the
// key may switch screens before its character arrives.
u16 spentCharacter = 0;
}  // namespace

ORenderWindow::ORenderWindow(u32 id) : id(id) {}

ORenderWindow::~ORenderWindow() {
  delete background;
  background = nullptr;
  for (OControl* c : controls) delete c;
  controls.clear();
}

void ORenderWindow::Enter() { focusIndex = -1; }

void ORenderWindow::Leave() {
  // Only the screen on show keeps a picture of its background (a few megabytes each).
  backgroundPicture.Forget();
  if (focused != nullptr) {
    focused->Unhighlight();
    focused = nullptr;
  }
  if (hot != nullptr) {
    hot->Unhighlight();
    hot = nullptr;
  }
  if (keyFocus != nullptr) {
    keyFocus->Unhighlight();
    keyFocus = nullptr;
  }
}

void ORenderWindow::Draw() {
  if (camera != nullptr) {
    camera->viewportX = viewLeft;
    camera->viewportY = viewBottom;
    camera->Apply(width, height);
  }
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  if (background != nullptr) background->Bind();

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, overlayWidth, 0.0, overlayHeight, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // The background never changes while the screen's size, picture and filters stay: after the
  // first frame its pixels are written back instead of filtering the picture again.
  const u64 generation = (static_cast<u64>(GetTextureCache().generation) << 32) |
                         (static_cast<u64>(overlayWidth) << 16) | overlayHeight;
  if (backgroundPicture.Matches(generation)) {
    backgroundPicture.Restore();
  } else {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(overlayWidth, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(overlayWidth, overlayHeight);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, overlayHeight);
    glEnd();
    backgroundPicture.Capture(generation);
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);

  for (OControl* c : controls) c->Draw();
}

void ORenderWindow::Update(u32) {}

bool ORenderWindow::Load() { return true; }

bool ORenderWindow::OnCommand(u32, u32) { return false; }

void ORenderWindow::Suspend() {}

void ORenderWindow::SetSize(i16 newWidth, i16 newHeight) {
  width = newWidth;
  height = newHeight;
  windowWidth = newWidth;
  windowHeight = newHeight;
  viewLeft = viewTop = viewBottom = 0;
}

void ORenderWindow::SetPlacement(const OOverlayRect& place, i16 newWindowWidth,
                                 i16 newWindowHeight) {
  width = static_cast<i16>(place.w);
  height = static_cast<i16>(place.h);
  windowWidth = newWindowWidth;
  windowHeight = newWindowHeight;
  viewLeft = static_cast<i16>(place.left);
  viewTop = static_cast<i16>(place.top);
  viewBottom = static_cast<i16>(place.bottom);
}

void ORenderWindow::ApplyOverlayViewport() const { glViewport(viewLeft, viewBottom, width, height); }

bool ORenderWindow::SetBackground(const std::string& fileName) {
  backgroundPicture.Forget();
  delete background;
  background = nullptr;
  background = new OTexture();
  return background->Load(fileName);
}

void ORenderWindow::AddControl(OControl* control) {
  if (control == nullptr || HasControl(control)) return;
  controls.push_back(control);
  control->owner = this;
  control->Attach();
  if (control->tabStop) control->tabIndex = tabCount++;
}

bool ORenderWindow::HasControl(const OControl* control) const {
  return std::find(controls.begin(), controls.end(), control) != controls.end();
}

void ORenderWindow::FocusControl(OControl* control) {
  if (!HasControl(control)) return;
  if (focused != nullptr) {
    focused->Unhighlight();
  } else if (hot != nullptr) {
    hot->Unhighlight();
  }
  control->Highlight();
  if (control->tabStop) {
    focusIndex = static_cast<i16>(control->tabIndex);
    focused = control;
  }
  hot = control;
  keyFocus = control;
}

void ORenderWindow::FocusFirst() {
  const std::vector<OControl*>& order = keyboardOrder.empty() ? controls : keyboardOrder;
  for (OControl* c : order) {
    if (c->Focusable()) {
      FocusControl(c);
      return;
    }
  }
}

bool ORenderWindow::MoveFocus(i32 direction) {
  const std::vector<OControl*>& order = keyboardOrder.empty() ? controls : keyboardOrder;
  const i32 n = static_cast<i32>(order.size());
  if (n == 0) return false;
  i32 at = -1;
  for (i32 i = 0; i < n; ++i)
    if (order[i] == keyFocus) at = i;
  // From no focus, Down starts at the first control and Up at the last.
  if (at < 0) at = direction > 0 ? -1 : n;
  for (i32 k = 1; k <= n; ++k) {
    const i32 i = ((at + direction * k) % n + n) % n;
    if (order[i]->Focusable()) {
      if (keyFocus != nullptr && keyFocus != order[i]) keyFocus->Unhighlight();
      FocusControl(order[i]);
      return true;
    }
  }
  return false;
}

bool ORenderWindow::Navigate(const OInputEvent& event) {
  if (keyFocus != nullptr && !keyFocus->Focusable()) keyFocus = nullptr;
  const bool shift = (event.keyFlags & MK_SHIFT) != 0;
  switch (event.key) {
    // A screen without controls (the game) keeps these keys for itself.
    case VK_UP:
      return MoveFocus(-1);
    case VK_DOWN:
      return MoveFocus(1);
    case VK_TAB:
      // Forward Tab among tab stops stays the tab stops' own walk.
      if (shift) return MoveFocus(-1);
      if (tabCount == 0) return MoveFocus(1);
      return false;
    case VK_LEFT:
    case VK_RIGHT:
      return keyFocus != nullptr && keyFocus->Step(event.key == VK_LEFT ? -1 : 1);
    case VK_RETURN:
      return keyFocus != nullptr && keyFocus->Activate();
    default:
      return false;
  }
}

bool ORenderWindow::HandleInput(const OInputEvent& event) {
  // Enter and Tab also arrive as characters right after their key. One whose key was used is
  // spent: it must not act a second time, here or on the screen the key has just switched to.
  if (event.type == EV_CHAR && event.key == spentCharacter) {
    spentCharacter = 0;
    return true;
  }
  if (event.type == EV_KEYDOWN) spentCharacter = 0;
  if (event.type == EV_KEYDOWN && Navigate(event)) {
    if (event.key == VK_TAB || event.key == VK_RETURN) spentCharacter = event.key;
    return true;
  }
  const bool used = tabCount == 0 ? RoutePointer(event) : RouteTab(event);
  if (used && event.type == EV_KEYDOWN && event.key == VK_RETURN) spentCharacter = VK_RETURN;
  // The keyboard goes on from wherever the pointer or a Tab put the focus.
  if (tabCount > 0 && focused != nullptr) keyFocus = focused;
  if (hot != nullptr && hot->highlighted) keyFocus = hot;
  return used;
}

bool ORenderWindow::RoutePointer(const OInputEvent& event) {
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    OControl* c = *it;
    if (c->HitTest(event)) {
      const bool takesHighlight =
          c->activation == 0 || (c->activation == 1 && event.type == EV_BUTTONDOWN);
      if (takesHighlight && !c->highlighted) {
        if (hot != nullptr) hot->Unhighlight();
        hot = c;
        c->Highlight();
      }
      if (c->HandleInput(event)) return true;
    } else if (c->highlighted && c->activation == 0) {
      c->Unhighlight();
    }
  }
  // A press-activated control keeps the pointer's events (moves, the release) once pressed,
  // wherever the pointer has gone since.
  if (hot != nullptr && hot->activation == 1) return hot->HandleInput(event);
  return false;
}

bool ORenderWindow::RouteTab(const OInputEvent& event) {
  if (event.type == EV_CHAR || event.type == EV_KEYDOWN || event.type == EV_KEYUP) {
    if (event.type == EV_KEYDOWN && event.key == VK_TAB) {
      // The next tab stop that can take the focus (a disabled button is passed over).
      for (u16 n = 0; n < tabCount; ++n) {
        focusIndex = static_cast<i16>((focusIndex + 1) % tabCount);
        const OControl* next = nullptr;
        for (OControl* c : controls)
          if (c->tabStop && c->tabIndex == static_cast<u16>(focusIndex)) next = c;
        if (next == nullptr || next->Focusable()) break;
      }
    }
    OControl* target = nullptr;
    for (OControl* c : controls) {
      if (c->tabStop && focusIndex >= 0 && c->tabIndex == static_cast<u16>(focusIndex)) {
        target = c;
        break;
      }
    }
    if (target == nullptr) return false;
    if (!target->highlighted) {
      hot = nullptr;
      if (focused != nullptr) focused->Unhighlight();
      focused = target;
      target->Highlight();
    }
    // Tab moves the focus and nothing else: no control ever sees it.
    if (event.key == VK_TAB) return true;
    return target->HandleInput(event);
  }
  if (event.type >= EV_MOUSEMOVE && event.type <= EV_BUTTONUP) {
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
      OControl* c = *it;
      if (c->HitTest(event)) {
        const bool takesHighlight =
            c->activation == 0 || (c->activation == 1 && event.type == EV_BUTTONDOWN);
        if (!takesHighlight) continue;
        if (c->tabStop) {
          if (focused != nullptr) focused->Unhighlight();
          focused = c;
          focusIndex = static_cast<i16>(c->tabIndex);
        }
        c->Highlight();
        hot = c;
        if (c->HandleInput(event)) return true;
      } else if (c == hot && c->activation == 0) {
        c->Unhighlight();
        if (c->tabStop) focusIndex = -1;
      }
    }
    return false;
  }
  return false;
}
