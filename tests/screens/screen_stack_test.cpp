// The stack of screens: the top one takes the loop's input, a screen pushed
// over another gets it until it closes, and each closed screen's procedure
// runs in the pass that closed it, in the order they closed.
#include <memory>
#include <string>
#include <vector>

#include "common/commands.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "screens/screen_stack.h"
#include "support/screen_driver.h"
#include "support/test_game.h"

namespace {

std::vector<std::string> g_log;

// Confirm opens a screen above it, Escape (let go) closes it; every take and
// every picture is written down.
class Probe : public Screen {
public:
    explicit Probe(std::string name, bool first_picture = true) : name_(std::move(name)), first_(first_picture) {}
    bool open() override {
        if (first_) g_log.push_back(name_ + " shown");
        return first_;
    }
    void take(WindowEvent event) override {
        if (event == WindowEvent::close_request) return close();
        if (command_released(Command::cancel)) return close();
        if (command_pressed(Command::confirm))
            screen_stack().push(std::make_unique<Probe>(name_ + "+"),
                                [name = name_](Screen&) { g_log.push_back(name + "+ closed"); });
        if (command_pressed(Command::cursor_down)) g_log.push_back(name_ + " down");
    }
    bool draw() override { return true; }

private:
    std::string name_;
    bool first_;
};

}  // namespace

TEST(ScreenStack, TheTopScreenTakesTheKeysAndEachCloseRunsItsProcedureInOrder) {
    TempGameFolder game;
    g_log.clear();
    ScreenStack& stack = screen_stack();
    stack.clear();
    stack.push(std::make_unique<Probe>("menu"), [](Screen&) { g_log.push_back("menu closed"); });
    EXPECT_EQ(stack.size(), 1u);
    EXPECT_EQ(headless::flip_count(), 1) << "the first picture is shown as the screen is pushed";

    // Down on the menu, Return opens a screen over it, Down goes to that one,
    // Escape closes it, Down reaches the menu again, Escape closes the menu.
    headless::key_tap(10, key::down, 20);
    headless::key_tap(100, key::ret, 20);
    headless::key_tap(200, key::down, 20);
    headless::key_tap(300, key::escape, 20);
    headless::key_tap(400, key::down, 20);
    headless::key_tap(500, key::escape, 20);
    run_screens();
    const std::vector<std::string> expected = {"menu shown", "menu down", "menu+ shown", "menu+ down", "menu+ closed",
                                               "menu down", "menu closed"};
    EXPECT_EQ(g_log, expected);
    EXPECT_TRUE(stack.empty());
}

TEST(ScreenStack, AProcedureMayOpenTheNextScreenAndTheWindowsCloseEndsThemOneByOne) {
    TempGameFolder game;
    g_log.clear();
    ScreenStack& stack = screen_stack();
    stack.clear();
    // A screen without a first picture, whose close opens another: the chain of a choice and its question.
    stack.push(std::make_unique<Probe>("choice", false), [](Screen&) {
        g_log.push_back("choice closed");
        screen_stack().push(std::make_unique<Probe>("question"), [](Screen&) { g_log.push_back("question closed"); });
    });
    EXPECT_EQ(headless::flip_count(), 0);
    headless::key_tap(10, key::escape, 20);
    headless::close_request(200);
    run_screens();
    const std::vector<std::string> expected = {"choice closed", "question shown", "question closed"};
    EXPECT_EQ(g_log, expected);
    EXPECT_TRUE(stack.empty());

    // Cleared (the game ends), no procedure runs.
    stack.push(std::make_unique<Probe>("left"), [](Screen&) { g_log.push_back("left closed"); });
    stack.clear();
    EXPECT_EQ(g_log.back(), "left shown");
    EXPECT_TRUE(stack.empty());
}
