// The security code screens: unlock, check / new / confirm, the result
// message and SECURITY SETUP, driven key by key through the run-loop pass and
// checked against the gallery's pictures, pixel facts and the state.
#include "screen_harness.h"

namespace {

using namespace screen_test;

// Sets the digit under the cursor to d by turning the knob the short way,
// then pushes to the next digit (or to the evaluation on the last one).
void enter_digit(uint8_t d)
{
    const uint8_t cursor = st.menu_cursor;
    const int up = (d - st.code_digits[cursor] + 10) % 10;
    if (up <= 5)
        key(KEY_CW, up);
    else
        key(KEY_CCW, 10 - up);
    ASSERT_EQ(st.code_digits[cursor], d);
    key(KEY_PUSH);
}

uint16_t code_on_screen()
{
    return uint16_t(st.code_digits[0] * 1000 + st.code_digits[1] * 100 + st.code_digits[2] * 10 + st.code_digits[3]);
}

struct four_digits { uint8_t d[4]; };
four_digits digits_of(int code)
{
    return {{uint8_t(code / 1000), uint8_t(code / 100 % 10), uint8_t(code / 10 % 10), uint8_t(code % 10)}};
}

void enter_code(uint16_t code)
{
    const four_digits digits = digits_of(code);
    for (int i = 0; i < 4; i++) {
        ASSERT_EQ(st.menu_cursor, i);
        enter_digit(digits.d[i]);
    }
}

class Security : public ::testing::Test {
protected:
    void SetUp() override
    {
        switch_on();
        pass();
    }

    // Main display, push: with security on this is the unlock screen.
    void push_on_main_display()
    {
        ASSERT_EQ(st.current_screen, &screen_main);
        key(KEY_PUSH);
    }

    // From the main display (security off) to SECURITY SETUP.
    void open_security_setup()
    {
        push_on_main_display();
        ASSERT_EQ(st.current_screen, &screen_main_menu);
        key(KEY_CW, MAIN_MENU_MISC_SETUP);
        key(KEY_PUSH);  // MISC SETUP
        key(KEY_CW);
        key(KEY_PUSH);  // SECURITY SETUP
        ASSERT_TRUE(is_at({.screen = screen_security_setup, .cursor = 0}));
    }

    // From a fresh start to ENTER SECURITY CODE: SECURITY SETUP, the lock
    // switched on as the pilot does (push, turn, push), then CHANGE CODE.
    void open_change_code()
    {
        SetUp();
        open_security_setup();
        keys({KEY_PUSH, KEY_CW, KEY_PUSH});
        ASSERT_EQ(st.security_enabled, 1);
        ASSERT_EQ(st.edit_mode, 0);
        key(KEY_CW);
        ASSERT_EQ(st.menu_cursor, 1);
        key(KEY_PUSH);
        ASSERT_EQ(st.current_screen, &screen_code_check);
    }
};

// The four entry screens and the gallery's picture of each, fresh: 0000, the
// cursor on the first digit.
struct entry_screen_case { screen_handler screen; const char* picture; };

const entry_screen_case entry_screens[] = {
    {screen_unlock, "unlock"}, {screen_code_check, "code_check"},
    {screen_code_new, "code_new"}, {screen_code_confirm, "code_confirm"},
};

// Each entry screen as the gallery shows it fresh; then with the digits
// 9 0 4 2 and the cursor on each digit: the same title, prompt and footer,
// the digits at x 50, 70, 90 and 110, y 65 in font 20, the selected one red.
TEST_F(Security, EntryScreensShowPromptDigitsAndFooter)
{
    for (const auto& c : entry_screens) {
        SCOPED_TRACE(c.picture);
        SetUp();
        st.current_screen = c.screen;
        pass();
        EXPECT_TRUE(shows_picture(c.picture));
        const uint8_t digits[4] = {9, 0, 4, 2};
        memcpy(st.code_digits, digits, 4);
        for (uint8_t cursor = 0; cursor < 4; cursor++) {
            SCOPED_TRACE(int(cursor));
            st.menu_cursor = cursor;
            pass();
            EXPECT_TRUE(shows_picture(c.picture, 0, 0, 159, 60)) << "title and prompt";
            EXPECT_TRUE(shows_picture(c.picture, 0, 110, 159, 127)) << "footer";
            for (int i = 0; i < 4; i++) {
                const char text[2] = {char('0' + digits[i]), 0};
                EXPECT_TRUE(text_at(uint16_t(50 + 20 * i), 65, text, 20, ALIGN_CENTRE,
                                    i == cursor ? COLOUR_RED : COLOUR_WHITE));
            }
        }
    }
    // The gallery's pictures of entries under way.
    const struct { screen_handler screen; uint16_t digits; uint8_t cursor; const char* picture; } under_way[] = {
        {screen_code_check, 1300, 1, "code_check_entering"}, {screen_code_new, 2468, 3, "code_new_entered"},
        {screen_unlock, 2400, 2, "unlock_entering"}};
    for (const auto& u : under_way) {
        st.current_screen = u.screen, st.menu_cursor = u.cursor;
        memcpy(st.code_digits, digits_of(u.digits).d, 4);
        pass();
        EXPECT_TRUE(shows_picture(u.picture));
    }
}

// The digit keys are the same on all four screens: the knob wraps a digit,
// the push moves on and never back, the right key does nothing.
TEST_F(Security, DigitKeysWrapAdvanceAndIgnoreTheRightKey)
{
    for (const auto& c : entry_screens) {
        SCOPED_TRACE(c.picture);
        SetUp();
        st.current_screen = c.screen, st.pending_code = 4321;
        pass();
        // Each step: a key pressed some times, then the cursor and the digits.
        const struct { uint8_t key, times, cursor; uint16_t digits; } steps[] = {
            {KEY_CCW, 1, 0, 9000}, {KEY_CW, 1, 0, 0},    {KEY_CCW, 1, 0, 9000}, {KEY_PUSH, 1, 1, 9000},
            {KEY_CW, 9, 1, 9900},  {KEY_CW, 1, 1, 9000}, {KEY_CCW, 1, 1, 9900}, {KEY_PUSH, 1, 2, 9900},
            {KEY_CW, 1, 2, 9910},  {KEY_PUSH, 1, 3, 9910},
        };
        for (const auto& s : steps) {
            key(s.key, s.times);
            EXPECT_EQ(st.menu_cursor, s.cursor);
            EXPECT_EQ(code_on_screen(), s.digits);
        }
        expect_key_ignored(KEY_RIGHT);
        EXPECT_EQ(code_on_screen(), 9910);
        EXPECT_EQ(st.pending_code, 4321);
    }
}

TEST_F(Security, UnlockAcceptsTheStoredCodeAndTheMasterCodeOnly)
{
    const struct { uint16_t stored; uint16_t entered; bool opens_menu; } cases[] = {
        {FACTORY_SECURITY_CODE, FACTORY_SECURITY_CODE, true}, {FACTORY_SECURITY_CODE, MASTER_CODE, true},
        {0, MASTER_CODE, true}, {0, 0, true}, {7, 7, true}, {FACTORY_SECURITY_CODE, FACTORY_SECURITY_CODE + 1, false},
        {7, 0, false}, {7, 7000, false}, {9999, 9998, false}, {1000, 9043, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.stored << " / " << c.entered);
        SetUp();
        st.security_enabled = 1, st.security_code = c.stored;
        push_on_main_display();
        ASSERT_EQ(st.current_screen, &screen_unlock);
        enter_code(c.entered);
        if (c.opens_menu) {
            EXPECT_TRUE(is_at({.screen = screen_main_menu, .cursor = 0}));
            EXPECT_EQ(code_on_screen(), 0) << "the digits cleared";
        } else {
            EXPECT_EQ(st.current_screen, &screen_code_result);
            EXPECT_EQ(st.return_screen, &screen_main);
            EXPECT_TRUE(shows_picture("code_error"));
            key(KEY_CW);
            EXPECT_EQ(st.current_screen, &screen_main);
            // No retry limit: the next push asks again at once.
            key(KEY_PUSH);
            EXPECT_EQ(st.current_screen, &screen_unlock);
        }
        EXPECT_EQ(st.security_code, c.stored);
    }
}

// The digits are left for the next entry, which the main display's push
// clears.
TEST_F(Security, LeftOnTheUnlockScreenReturnsWithoutAMessage)
{
    st.security_enabled = 1;
    push_on_main_display();
    keys({KEY_CW, KEY_PUSH, KEY_LEFT});
    EXPECT_EQ(st.current_screen, &screen_main);
    EXPECT_EQ(st.code_digits[0], 1);
}

TEST_F(Security, ResultMessageSaysChangedOnlyForFlagOne)
{
    const struct { uint16_t flag; const char* picture; } cases[] = {
        {1, "code_changed"}, {0, "code_error"}, {2, "code_error"}, {9042, "code_error"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag);
        st.current_screen = screen_code_result, st.return_screen = screen_security_setup;
        st.pending_code = c.flag;
        pass();
        EXPECT_TRUE(shows_picture(c.picture));
    }
    // Any key goes on, the right key too.
    key(KEY_RIGHT);
    EXPECT_EQ(st.current_screen, &screen_security_setup);
}

// The whole change-code sequence from SECURITY SETUP, key by key.
TEST_F(Security, ChangeCodeFlows)
{
    // The codes entered on ENTER SECURITY CODE, ENTER NEW CODE and CONFIRM NEW
    // CODE, whether the check passes and whether the code changes.
    const struct { const char* name; uint16_t current, fresh, again; bool check_passes, changed; } cases[] = {
        {"stored code, new code confirmed", FACTORY_SECURITY_CODE, 4821, 4821, true, true},
        {"master code, four zeros", MASTER_CODE, 0, 0, true, true},
        {"last digit differs", FACTORY_SECURITY_CODE, 4821, 4822, true, false},
        {"first digit differs", FACTORY_SECURITY_CODE, 4821, 5821, true, false},
        {"wrong current code", FACTORY_SECURITY_CODE + 1, 0, 0, false, false},
        {"new code of one digit", FACTORY_SECURITY_CODE, 5, 5, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open_change_code();
        EXPECT_EQ(st.return_screen, &screen_security_setup);
        enter_code(c.current);
        if (c.check_passes) {
            ASSERT_TRUE(is_at({.screen = screen_code_new, .cursor = 0}));
            EXPECT_TRUE(shows_picture("code_new"));
            enter_code(c.fresh);
            ASSERT_EQ(st.current_screen, &screen_code_confirm);
            EXPECT_EQ(st.pending_code, c.fresh);
            enter_code(c.again);
        }
        ASSERT_EQ(st.current_screen, &screen_code_result);
        EXPECT_EQ(st.pending_code, c.changed ? 1 : 0);
        EXPECT_TRUE(shows_picture(c.changed ? "code_changed" : "code_error"));
        const uint16_t code_now = c.changed ? c.fresh : FACTORY_SECURITY_CODE;
        EXPECT_EQ(st.security_code, code_now);

        // Back on SECURITY SETUP with CHANGE CODE selected.
        key(KEY_PUSH);
        ASSERT_TRUE(is_at({.screen = screen_security_setup, .cursor = 1}));
        EXPECT_TRUE(shows_picture("security_setup_change_code"));

        // Out to the main display; the code now in force unlocks, the other doesn't.
        key(KEY_LEFT, 3);  // MISC SETUP, MAIN MENU, main display
        push_on_main_display();
        ASSERT_EQ(st.current_screen, &screen_unlock);
        if (c.changed) {
            enter_code(FACTORY_SECURITY_CODE);
            EXPECT_EQ(st.current_screen, &screen_code_result);
            keys({KEY_LEFT, KEY_PUSH});
        }
        enter_code(code_now);
        EXPECT_EQ(st.current_screen, &screen_main_menu);
    }
}

// BACK on the check, new and confirm screens returns to CHANGE CODE and
// changes nothing.
TEST_F(Security, BackFromEveryStepKeepsTheCode)
{
    for (int step = 0; step < 3; step++) {
        SCOPED_TRACE(step);
        open_change_code();
        if (step >= 1)
            enter_code(FACTORY_SECURITY_CODE);
        if (step >= 2)
            enter_code(2222);
        const screen_handler expected[3] = {screen_code_check, screen_code_new, screen_code_confirm};
        ASSERT_EQ(st.current_screen, expected[step]);
        keys({KEY_CW, KEY_LEFT});
        EXPECT_TRUE(is_at({.screen = screen_security_setup, .cursor = 1, .edit = 0}));
        EXPECT_EQ(st.pending_code, 0);
        EXPECT_EQ(st.security_code, FACTORY_SECURITY_CODE);
        EXPECT_EQ(st.security_enabled, 1);
    }
}

TEST_F(Security, SetupWithTheLockOffShowsOnlyTheSecurityRow)
{
    open_security_setup();
    EXPECT_TRUE(shows_picture("security_setup_off"));

    // The knob outside edit mode, and the right key, leave it all alone.
    for (uint8_t k : {KEY_CW, KEY_CCW, KEY_RIGHT}) {
        expect_key_ignored(k);
        EXPECT_EQ(st.security_enabled, 0);
    }
}

TEST_F(Security, SetupEditsTheLockAndMovesBetweenItsRows)
{
    open_security_setup();
    // Each key, then the lock, the cursor, edit mode and the picture where
    // the gallery has one: in edit mode the knob turns the lock (the label
    // white, the value red); after the push it moves between the two rows.
    const struct { uint8_t key, enabled, cursor, edit; const char* picture; } steps[] = {
        {KEY_PUSH, 0, 0, 1, "security_setup_off_edit"}, {KEY_CW, 1, 0, 1, nullptr},  {KEY_CCW, 0, 0, 1, nullptr},
        {KEY_CCW, 1, 0, 1, nullptr},  {KEY_PUSH, 1, 0, 0, "security_setup_on"}, {KEY_CW, 1, 1, 0, nullptr},
        {KEY_CW, 1, 0, 0, nullptr},   {KEY_CCW, 1, 1, 0, nullptr}, {KEY_CCW, 1, 0, 0, nullptr},
        {KEY_CW, 1, 1, 0, nullptr},   {KEY_RIGHT, 1, 1, 0, nullptr},
    };
    for (const auto& s : steps) {
        key(s.key);
        EXPECT_TRUE(is_at({.screen = screen_security_setup, .cursor = s.cursor, .edit = s.edit}));
        EXPECT_EQ(st.security_enabled, s.enabled);
        if (s.picture) {
            EXPECT_TRUE(shows_picture(s.picture));
        }
    }

    // Switching on asks no code; it applies from the next push on the main display.
    key(KEY_LEFT);
    EXPECT_TRUE(is_at({.screen = screen_misc_setup, .cursor = 1}));
    key(KEY_LEFT, 2);
    push_on_main_display();
    EXPECT_EQ(st.current_screen, &screen_unlock);
}

// Every code that the change sequence stores unlocks with the same digits.
// The flows above take it key by key; here the entry screens are fed their
// digits directly so the whole range fits in a test.
TEST_F(Security, EveryStoredCodeUnlocksWithItsOwnDigits)
{
    // The screen made current with the four digits in place and the push
    // pending on the last one.
    auto push_on_last_digit = [](screen_handler screen, const four_digits& digits) {
        st.current_screen = screen;
        memcpy(st.code_digits, digits.d, 4);
        st.menu_cursor = 3, st.pending_key = KEY_PUSH;
        screen();
    };
    for (int code = 0; code <= 9999; code++) {
        push_on_last_digit(screen_code_new, digits_of(code));
        push_on_last_digit(screen_code_confirm, digits_of(code));
        ASSERT_EQ(st.pending_code, 1) << code;
        ASSERT_EQ(st.security_code, code);
        push_on_last_digit(screen_unlock, digits_of(code));
        ASSERT_EQ(st.current_screen, &screen_main_menu) << code;
    }
}

}  // namespace
