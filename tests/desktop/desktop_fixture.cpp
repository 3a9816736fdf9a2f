#include "desktop_fixture.h"

#include "platform/posix/desktop/desktop_front_end.h"
#include "platform/posix/ui/frontend.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string whyNot;
    auto frontEnd = desktop::MakeDesktopFrontEnd(whyNot);
    ASSERT_TRUE(frontEnd) << whyNot;
  }
  void TearDown() override { delete qApp; }
};

const ::testing::Environment* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void DesktopUi::SetUp() {
  std::string whyNot;
  auto frontEnd = desktop::MakeDesktopFrontEnd(whyNot);
  ASSERT_TRUE(frontEnd) << whyNot;
  ui::frontend::InstallFrontEnd(std::move(frontEnd));
}

void DesktopUi::TearDown() {
  ui::frontend::InstallFrontEnd(nullptr);
  // Windows are deleted by Qt's loop.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

class Person::Ticker : public QTimer {
 public:
  explicit Ticker(Person* person) {
    connect(this, &QTimer::timeout, [person] { person->Look(); });
    start(5);
  }
};

Person::Person(std::chrono::seconds limit) : deadline_(std::chrono::steady_clock::now() + limit) {
  ticker_ = new Ticker(this);
}

Person::~Person() {
  delete ticker_;
  EXPECT_TRUE(steps_.empty()) << "not done: " << steps_.front().what;
}

Person& Person::Then(std::string what, std::function<bool()> ready, std::function<void()> act) {
  steps_.push_back({std::move(what), std::move(ready), std::move(act)});
  return *this;
}

void Person::Look() {
  if (steps_.empty()) return;
  if (std::chrono::steady_clock::now() > deadline_) {
    std::fprintf(stderr, "FAILED: still waiting to %s\n", steps_.front().what.c_str());
    std::fflush(nullptr);
    std::_Exit(1);
  }
  // What a person does reaches a window only once it waits for them.
  if (!desktop::WaitsForInput() || !steps_.front().ready()) return;
  if (std::getenv("PERSON_DEBUG")) std::fprintf(stderr, "step: %s\n", steps_.front().what.c_str());
  Step step = std::move(steps_.front());
  steps_.pop_front();
  step.act();
}

desktop::DialogWindow* ShownDialog(const std::string& name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = dynamic_cast<desktop::DialogWindow*>(widget);
    if (dialog && dialog->isVisible() && dialog->Name() == name) return dialog;
  }
  return nullptr;
}

desktop::DialogWindow* ActiveDialog(const std::string& name) {
  desktop::DialogWindow* dialog = ShownDialog(name);
  return dialog && dialog->isActiveWindow() ? dialog : nullptr;
}

QWidget* ShownControl(const std::string& name, int id) {
  desktop::DialogWindow* dialog = ShownDialog(name);
  return dialog ? dialog->Control(id) : nullptr;
}

desktop::MessageBoxWindow* ShownBox() {
  auto* box = dynamic_cast<desktop::MessageBoxWindow*>(desktop::MessageBoxWindowShown());
  return box && box->isVisible() ? box : nullptr;
}

void Press(QWidget* window, int key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = window->focusWidget() ? window->focusWidget() : window;
  QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

void ClickOn(QWidget* widget, Qt::KeyboardModifiers modifiers, QPoint at) {
  QTest::mouseClick(widget, Qt::LeftButton, modifiers, at.isNull() ? widget->rect().center() : at);
}
