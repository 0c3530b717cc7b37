#ifndef HARVELO_TESTS_FAKES_FAKE_NOTICE_WINDOW_H_
#define HARVELO_TESTS_FAKES_FAKE_NOTICE_WINDOW_H_

#include "platform/notice_window.h"

namespace harvelo {

// A notice window without a screen: it loads when shown and remembers who listens, so the
// test can press its button or close it.
struct FakeNoticeWindow : NoticeWindow {
  void Show(NoticeEvents& events) override {
    ++shown_;
    events_ = &events;
    events.OnLoad();
  }
  WindowHandle hWnd() override { return hwnd_; }
  int Check1Value() override { return check1_; }

  WindowHandle hwnd_ = 0x777;
  int check1_ = vbUnchecked;
  int shown_ = 0;
  NoticeEvents* events_ = nullptr;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_NOTICE_WINDOW_H_
