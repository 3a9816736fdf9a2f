#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/posix/ui/script_testing.h"
#include "platform/ui.h"
#include "support/script_run.h"
#include "updater/run_update.h"
#include "updater/update_controls.h"
#include "updater/update_state.h"
#include "worker_fixture.h"

namespace {

using DownloadProgressTest = UpdateRunTest;

// A 100 MB body stops after 60 MB until the window's file bar has been seen.
TEST_F(DownloadProgressTest, LargeBodyShowsItsShareInTheWindow) {
  constexpr std::size_t kMB = 1024 * 1024;
  std::atomic<long> barAt60{-1};
  server.Handle("/large/body", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(100 * kMB, "application/octet-stream",
                             [&](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                               if (offset == 60 * kMB) {
                                 // Everything sent so far has to be read before the bar can say 60.
                                 long pos = -1;
                                 for (int i = 0; i < 400 && pos != 60; ++i) {
                                   std::this_thread::sleep_for(std::chrono::milliseconds(25));
                                   if (ui::Window w = updateWindow.load())
                                     pos = long(ui::SendDlgItemMessage(w, kIdFileBar, ui::PBM_GETPOS, 0, 0));
                                 }
                                 barAt60 = pos;
                               }
                               std::string part(std::min<std::size_t>(length, kMB), 'b');
                               if (offset < 60 * kMB) part.resize(std::min(part.size(), 60 * kMB - offset));
                               sink.write(part.data(), part.size());
                               return true;
                             });
  });
  NewRequest(1, (AnswerStay << 16) | ModeVisible);
  UpdateFileEntry& entry = ServerEntry(0, "big");
  entry.hashMethod = 7;  // no digest to fetch: the file is always downloaded
  SetFieldText(entry.downloadUrl, server.url16("/large/body"));

  const std::string transcript = dir.file("t.jsonl");
  ASSERT_TRUE(ui::test::StartScriptFrontEnd("", transcript, nullptr, 5000));
  EXPECT_EQ(RunUpdate(request.get()), 1);
  ui::test::StopFrontEnd();
  EXPECT_EQ(barAt60.load(), 60);
  EXPECT_EQ(entry.result, ResultMismatch);
  EXPECT_EQ(ReadFileBytes(Local("big.new")).size(), 100 * kMB);

  const scripted::Json* end = nullptr;
  auto events = scripted::ReadTranscript(transcript);
  for (const auto& e : events)
    if (e["event"].Str() == "end") end = &e;
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(scripted::ControlText(*end, kIdDownloadText), "Downloading: Program Executable 102400/102400 KB...100%");
}

}  // namespace
