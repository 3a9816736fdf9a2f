// The desktop front end in this test program's own thread, with Qt on its
// offscreen platform: the windows are real widgets that nobody sees, and the
// test acts on them as a person would (clicks, keys) from inside the front
// end's waits.
#pragma once

#include "platform/posix/desktop/dialog_window.h"
#include "platform/posix/desktop/message_box_window.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <chrono>
#include <deque>
#include <functional>
#include <string>

class DesktopUi : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A person at the screen: each step waits until its condition holds (looked
// at every few milliseconds while the front end waits for input), then acts.
// A step that is never ready ends the test program with a message, since a
// test cannot be unwound out of a modal loop.
class Person {
 public:
  explicit Person(std::chrono::seconds limit = std::chrono::seconds(30));
  ~Person();
  Person& Then(std::string what, std::function<bool()> ready, std::function<void()> act);
  bool Finished() const { return steps_.empty(); }

 private:
  struct Step {
    std::string what;
    std::function<bool()> ready;
    std::function<void()> act;
  };
  void Look();

  std::deque<Step> steps_;
  std::chrono::steady_clock::time_point deadline_;
  int timer_ = 0;
  class Ticker;
  Ticker* ticker_ = nullptr;
};

// The window of the shown dialog with that template name, or null.
desktop::DialogWindow* ShownDialog(const std::string& name);
// The same once it is the active window, as it is when a person types into
// it: Qt moves a radio group's choice with the arrow keys only then.
desktop::DialogWindow* ActiveDialog(const std::string& name);
// Its control `id`, or null.
QWidget* ShownControl(const std::string& name, int id);
desktop::MessageBoxWindow* ShownBox();

// What a person presses: to the widget with the focus in `window`.
void Press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void ClickOn(QWidget* widget, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QPoint at = QPoint());

inline int CommandId(std::uintptr_t wParam) { return static_cast<int>(wParam & 0xFFFF); }
