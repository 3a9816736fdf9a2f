// Queues and loops across threads: nothing posted is lost or reordered,
// sends from other threads are answered inside nested loops, and nothing
// waits forever on a window or thread that is gone.
#include "ui_fixture.h"

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr unsigned kItem = ui::WM_APP + 1;
constexpr unsigned kOpenBox = ui::WM_APP + 2;
constexpr unsigned kStartSender = ui::WM_APP + 3;
constexpr unsigned kQuestion = ui::WM_APP + 4;

constexpr int kSenders = 4;
constexpr int kPerSender = 500;

struct PostingState {
  std::vector<std::thread> threads;
  std::vector<std::vector<int>> seen{kSenders};
  int total = 0;
} posting;

std::intptr_t PostingProc(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam lParam) {
  if (message == ui::WM_INITDIALOG) {
    for (int sender = 0; sender < kSenders; ++sender)
      posting.threads.emplace_back([dialog, sender] {
        for (int i = 0; i < kPerSender; ++i) ui::PostMessage(dialog, kItem, sender, i);
      });
    // Half-way through, a box opens over the dialog: its loop must keep
    // taking the posted items.
    ui::PostMessage(dialog, kOpenBox, 0, 0);
  }
  if (message == kOpenBox) ui::MessageBox(dialog, u"Still counting", u"LNT 3.0!", ui::MB_OK);
  if (message == kItem) {
    posting.seen[wParam].push_back(static_cast<int>(lParam));
    if (++posting.total == kSenders * kPerSender) ui::EndDialog(dialog, 7);
  }
  return 0;
}

TEST_F(ScriptedUi, PostsFromManyThreadsArriveCompleteAndInOrderPerSender) {
  Script("msgbox ok\ndialog DIALOG_3: wait\n");
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_3", nullptr, PostingProc, 0), 7);
  for (auto& thread : posting.threads) thread.join();
  for (int sender = 0; sender < kSenders; ++sender) {
    ASSERT_EQ(posting.seen[sender].size(), static_cast<std::size_t>(kPerSender)) << "sender " << sender;
    for (int i = 0; i < kPerSender; ++i) ASSERT_EQ(posting.seen[sender][i], i) << "sender " << sender;
  }
}

struct SendState {
  std::thread sender;
  std::atomic<bool> boxOpen{false};
  bool answeredInsideBox = false;
  std::intptr_t reply = 0;
} sending;

std::intptr_t SendProc(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) ui::PostMessage(dialog, kOpenBox, 0, 0);
  if (message == kOpenBox) {
    // Posted before the box opens, so the sender starts only once the box's loop runs.
    ui::PostMessage(dialog, kStartSender, 0, 0);
    sending.boxOpen = true;
    ui::MessageBox(dialog, u"Paused", u"LNT 3.0!", ui::MB_OKCANCEL);
    sending.boxOpen = false;
    sending.sender.join();
    ui::EndDialog(dialog, 1);
  }
  if (message == kStartSender)
    sending.sender = std::thread([dialog] { sending.reply = ui::SendMessage(dialog, kQuestion, 0, 0); });
  if (message == kQuestion) {
    sending.answeredInsideBox = sending.boxOpen;
    return 42;
  }
  return 0;
}

TEST_F(ScriptedUi, SendFromAnotherThreadIsAnsweredWhileAMessageBoxIsOpen) {
  Script("msgbox ok after 500\n");
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_3", nullptr, SendProc, 0), 1);
  EXPECT_TRUE(sending.answeredInsideBox);
  EXPECT_EQ(sending.reply, 42);
}

TEST_F(ScriptedUi, ProgressDrivenFromAWorkerWhileTheOwnerPumpsMessages) {
  Script("");
  ui::Window window = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, nullptr, 0);
  ASSERT_NE(window, nullptr);
  ui::ThreadId main = ui::GetCurrentThreadId();
  std::thread worker([&] {
    EXPECT_EQ(ui::SendDlgItemMessage(window, 902, ui::PBM_SETRANGE, 0, 4 << 16), (0 | (100 << 16)));
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(ui::SendDlgItemMessage(window, 902, ui::PBM_SETPOS, i, 0), i - 1);
    EXPECT_EQ(ui::SendDlgItemMessage(window, 902, ui::PBM_GETPOS, 0, 0), 4);
    ui::PostThreadMessage(main, ui::WM_APP + 9, 0, 0);
  });
  ui::Msg msg;
  while (ui::GetMessage(msg) && msg.message != ui::WM_APP + 9) ui::DispatchMessage(msg);
  worker.join();
  EXPECT_EQ(msg.message, ui::WM_APP + 9u);
  EXPECT_EQ(msg.window, nullptr);
  // Positions outside the range are held at its ends.
  EXPECT_EQ(ui::SendDlgItemMessage(window, 902, ui::PBM_SETPOS, 99, 0), 4);
  EXPECT_EQ(ui::SendDlgItemMessage(window, 902, ui::PBM_GETPOS, 0, 0), 4);
  ui::SendDlgItemMessage(window, 901, ui::PBM_SETRANGE32, 10, 20);
  EXPECT_EQ(ui::SendDlgItemMessage(window, 901, ui::PBM_GETPOS, 0, 0), 10);
  EXPECT_TRUE(ui::DestroyWindow(window));
}

TEST(MessageQueue, ThreadMessagesKeepTheirOrderAndQuitEndsGetMessage) {
  ui::ThreadId self = ui::GetCurrentThreadId();
  std::thread poster([self] {
    for (int i = 0; i < 100; ++i) ui::PostThreadMessage(self, ui::WM_APP, i, -i);
    ui::PostThreadMessage(self, ui::WM_QUIT, 0, 0);
  });
  std::vector<int> got;
  ui::Msg msg;
  while (ui::GetMessage(msg)) {
    if (msg.message == ui::WM_APP) got.push_back(static_cast<int>(msg.wParam));
  }
  poster.join();
  ASSERT_EQ(got.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(got[i], i);
  EXPECT_EQ(msg.message, ui::WM_QUIT);
}

TEST(MessageQueue, NothingWaitsOnAWindowOrThreadThatIsGone) {
  // A window of a thread that has ended: sends return 0 at once, posts fail.
  ui::Window orphan = nullptr;
  ui::ThreadId finished = 0;
  std::thread owner([&] {
    orphan = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, nullptr, 0);
    finished = ui::GetCurrentThreadId();
  });
  owner.join();
  ASSERT_NE(orphan, nullptr);
  EXPECT_EQ(ui::SendMessage(orphan, ui::PBM_GETPOS, 0, 0), 0);
  EXPECT_FALSE(ui::PostThreadMessage(finished, ui::WM_APP, 0, 0));
  EXPECT_FALSE(ui::PostThreadMessage(0xFFFFFFFFull, ui::WM_APP, 0, 0));

  // A destroyed window: every operation is harmless.
  ui::Window window = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, nullptr, 0);
  ASSERT_TRUE(ui::IsWindow(window));
  ui::Window label = ui::GetDlgItem(window, 701);
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(ui::DestroyWindow(window));
  EXPECT_FALSE(ui::IsWindow(window));
  EXPECT_FALSE(ui::IsWindow(label));
  EXPECT_FALSE(ui::DestroyWindow(window));
  EXPECT_FALSE(ui::PostMessage(window, ui::WM_APP, 0, 0));
  EXPECT_EQ(ui::SendMessage(label, ui::WM_SETTEXT, 0, reinterpret_cast<ui::LParam>(u"x")), 0);
  EXPECT_FALSE(ui::SetDlgItemText(window, 701, u"x"));
  EXPECT_EQ(ui::GetWindowText(label), u"");
  EXPECT_FALSE(ui::EndDialog(window, 1));
  EXPECT_EQ(ui::ListView_GetItemCount(label), 0);
  EXPECT_EQ(ui::GetDlgItem(nullptr, 1), nullptr);
  EXPECT_EQ(ui::DialogBoxParam("NO_SUCH_DIALOG", nullptr, nullptr, 0), -1);
  EXPECT_EQ(ui::CreateDialogParam("NO_SUCH_DIALOG", nullptr, nullptr, 0), nullptr);
}

}  // namespace
