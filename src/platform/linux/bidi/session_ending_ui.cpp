#include "platform/linux/bidi/session_ending_ui.h"

namespace harvelo {
namespace {

class SessionEndingUserInterface : public UserInterface {
 public:
  SessionEndingUserInterface(UserInterface& ui, BidiClient& client) : ui_(ui), client_(client) {}

  void MessageBox(const Text& prompt, const Text& title) override { ui_.MessageBox(prompt, title); }
  void DoEvents() override { ui_.DoEvents(); }
  void ShowMainForm(const Text& caption, const Text& line,
                    std::function<void()> on_close) override {
    ui_.ShowMainForm(caption, line, std::move(on_close));
  }
  void UnloadMainForm() override { ui_.UnloadMainForm(); }
  void End() override {
    client_.EndSession();
    ui_.End();
  }

 private:
  UserInterface& ui_;
  BidiClient& client_;
};

}  // namespace

std::unique_ptr<UserInterface> NewSessionEndingUserInterface(UserInterface& ui,
                                                             BidiClient& client) {
  return std::make_unique<SessionEndingUserInterface>(ui, client);
}

}  // namespace harvelo
