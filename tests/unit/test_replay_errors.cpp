// Bad scenario lines: one exact message, status 2, the earlier output kept and
// nothing after the bad line run.
#include "test_replay_support.h"

namespace {

// The message follows "ktr7-replay: line N: "; earlier_out is what the lines
// before the bad one printed.
struct error_case { const char* script; const char* message; int line; const char* earlier_out; };

const error_case error_cases[] = {
    {"jump", "unknown command \"jump\"", 1, ""},
    {"ON", "unknown command \"ON\"", 1, ""},
    {"print tick_counter\nkey\x01", "unknown command \"key\\x01\"", 2, "tick_counter=0\n"},
    {"on x", "on: extra argument \"x\"", 1, ""}, {"off now", "off: extra argument \"now\"", 1, ""},
    {"key", "key: missing key (left, right, push, cw, ccw)", 1, ""},
    {"key up", "key: unknown key \"up\" (left, right, push, cw, ccw)", 1, ""},
    {"key CW", "key: unknown key \"CW\" (left, right, push, cw, ccw)", 1, ""},
    {"key cw cw", "key: extra argument \"cw\"", 1, ""},
    {"key \\", "key: unknown key \"\\x5C\" (left, right, push, cw, ccw)", 1, ""},
    {"altitude", "altitude: missing value (0..65535)", 1, ""},
    {"altitude 65536", "altitude: value 65536 outside 0..65535", 1, ""},
    {"altitude -1", "altitude: value -1 outside 0..65535", 1, ""},
    {"altitude 99999999999999999999", "altitude: value 99999999999999999999 outside 0..65535", 1, ""},
    {"altitude 12x", "altitude: malformed number \"12x\"", 1, ""},
    {"altitude 0x10", "altitude: malformed number \"0x10\"", 1, ""},
    {"altitude 1.5", "altitude: malformed number \"1.5\"", 1, ""},
    {"altitude +", "altitude: malformed number \"+\"", 1, ""},
    {"altitude +-3", "altitude: malformed number \"+-3\"", 1, ""},
    {"altitude 1 2", "altitude: extra argument \"2\"", 1, ""}, {"vsi", "vsi: missing value (-6000..6000)", 1, ""},
    {"vsi 6001", "vsi: value 6001 outside -6000..6000", 1, ""},
    {"vsi -6001", "vsi: value -6001 outside -6000..6000", 1, ""},
    {"vsi fast", "vsi: malformed number \"fast\"", 1, ""}, {"asi", "asi: missing value (0..4096)", 1, ""},
    {"asi 4097", "asi: value 4097 outside 0..4096", 1, ""}, {"asi -1", "asi: value -1 outside 0..4096", 1, ""},
    {"sensor", "sensor: missing state (ok, fault)", 1, ""},
    {"sensor broken", "sensor: unknown state \"broken\" (ok, fault)", 1, ""},
    {"sensor ok now", "sensor: extra argument \"now\"", 1, ""}, {"tick x", "tick: malformed number \"x\"", 1, ""},
    {"tick -1", "tick: count -1 outside 0..1000000000", 1, ""},
    {"tick 1000000001", "tick: count 1000000001 outside 0..1000000000", 1, ""},
    {"tick 1 2", "tick: extra argument \"2\"", 1, ""},
    {"pass", "pass: the instrument is off (switch it on with \"on\")", 1, ""},
    {"pass 3", "pass: the instrument is off (switch it on with \"on\")", 1, ""},
    {"on\npass\noff\npass", "pass: the instrument is off (switch it on with \"on\")", 4, ""},
    {"on\npass x", "pass: malformed number \"x\"", 2, ""},
    {"on\npass -2", "pass: count -2 outside 0..1000000000", 2, ""},
    {"on\npass 1 1", "pass: extra argument \"1\"", 2, ""}, {"wait", "wait: missing count (0..1000000000)", 1, ""},
    {"on\nwait", "wait: missing count (0..1000000000)", 2, ""},
    {"wait 3", "wait: the instrument is off (switch it on with \"on\")", 1, ""},
    {"on\nwait 2 2", "wait: extra argument \"2\"", 2, ""}, {"print", "print: missing name", 1, ""},
    {"print # all a comment", "print: missing name", 1, ""},
    {"print nosuch", "print: unknown name \"nosuch\"", 1, ""},
    {"print qnh Qnh", "print: unknown name \"Qnh\"", 1, ""},
    {"print tick_counter\nprint qnh speed_limits[0]", "print: unknown name \"speed_limits[0]\"", 2, "tick_counter=0\n"},
    {"png", "png: missing file name", 1, ""}, {"png out.png 0", "png: scale 0 outside 1..8", 1, ""},
    {"png out.png 9", "png: scale 9 outside 1..8", 1, ""},
    {"png out.png big", "png: malformed number \"big\"", 1, ""},
    {"png out.png 2 3", "png: extra argument \"3\"", 1, ""},
    {"png /nonexistent-ktr7-dir/a.png", "png: cannot write \"/nonexistent-ktr7-dir/a.png\": No such file or directory",
     1, ""},
    {"dump", "dump: missing file name", 1, ""},
    {"dump a.bin b.bin", "dump: extra argument \"b.bin\"", 1, ""},
    {"dump /nonexistent-ktr7-dir/a.bin",
     "dump: cannot write \"/nonexistent-ktr7-dir/a.bin\": No such file or directory", 1, ""},
    {"print text now", "print text: extra argument \"now\"", 1, ""},
    {"print lcd 2", "print lcd: extra argument \"2\"", 1, ""},
    {"print tick_counter text", "print: unknown name \"text\"", 1, ""},
    {"expect text", "expect text: missing text", 1, ""},
    {"expect text \"\"", "expect text: missing text", 1, ""},
    {"expect text \"   \" at 1 2", "expect text: missing text", 1, ""},
    {"expect text \"ALT SETUP", "expect text: missing closing quote", 1, ""},
    {"expect text \"ALT\" SETUP", "expect text: extra argument \"SETUP\" (a position is \"at X Y\")", 1, ""},
    {"expect text \"A\" at", "expect text: missing x (0..65535)", 1, ""},
    {"expect text \"A\" at 1", "expect text: missing y (0..65535)", 1, ""},
    {"expect text \"A\" at 65536 0", "expect text: x 65536 outside 0..65535", 1, ""},
    {"expect text A at -1 0", "expect text: x -1 outside 0..65535", 1, ""},
    {"expect text \"A\" at 0 65536", "expect text: y 65536 outside 0..65535", 1, ""},
    {"expect text \"A\" at 0 -1", "expect text: y -1 outside 0..65535", 1, ""},
    {"expect text A at 1 y", "expect text: malformed number \"y\"", 1, ""},
    {"expect text \"A\" at 1 2 3", "expect text: extra argument \"3\"", 1, ""},
    {"gif", "gif: missing file name", 1, ""}, {"gif run.gif 0", "gif: scale 0 outside 1..8", 1, ""},
    {"gif run.gif 9", "gif: scale 9 outside 1..8", 1, ""},
    {"gif run.gif big", "gif: malformed number \"big\"", 1, ""},
    {"gif run.gif 2 3", "gif: extra argument \"3\"", 1, ""},
    {"gif end now", "gif end: extra argument \"now\"", 1, ""},
    {"gif end", "gif end: no animation is being recorded (start one with \"gif FILE\")", 1, ""},
    {"gif /nonexistent-ktr7-dir/a.gif", "gif: cannot write \"/nonexistent-ktr7-dir/a.gif\": No such file or directory",
     1, ""},
    {"# comment\n\n   \nprint tick_counter\n\nbogus", "unknown command \"bogus\"", 6, "tick_counter=0\n"},
    {"on\nprint qnh\ntick 2\nprint tick_counter\nvsi 9000\nprint qnh", "vsi: value 9000 outside -6000..6000", 5,
     "qnh=1013250\ntick_counter=2\n"},
};

class BadLine : public testing::TestWithParam<error_case> {};

TEST_P(BadLine, StopsWithOneMessage)
{
    const error_case& c = GetParam();
    replay_result r = run_script(c.script);
    EXPECT_EQ(r.status, REPLAY_FAILED);
    EXPECT_EQ(r.err, "ktr7-replay: line " + std::to_string(c.line) + ": " + c.message + "\n");
    EXPECT_EQ(r.out, c.earlier_out);
}

INSTANTIATE_TEST_SUITE_P(Replay, BadLine, testing::ValuesIn(error_cases));

// Nothing after the bad line runs, and the bad line itself has no effect.
struct stop_case { const char* script; uint8_t tick_counter; uint8_t pending_key; int32_t altitude; };

const stop_case stop_cases[] = {
    {"tick\nbogus\ntick 5", 1, 0, 0}, {"tick\naltitude 70000\ntick 5", 1, 0, 0},
    {"altitude 100\naltitude 200 300\naltitude 400", 0, 0, 100}, {"key cw\nkey cw cw\nkey left", 0, 4, 0},
    {"tick 2\ntick 3 4\ntick", 2, 0, 0}, {"tick 3\nwait 1\ntick", 3, 0, 0}, {"key push x\nkey left", 0, 0, 0},
};

class BadLineStops : public testing::TestWithParam<stop_case> {};

TEST_P(BadLineStops, LaterLinesDoNotRun)
{
    const stop_case& c = GetParam();
    replay_result r = run_script(c.script);
    EXPECT_EQ(r.status, REPLAY_FAILED);
    EXPECT_EQ(st.tick_counter, c.tick_counter);
    EXPECT_EQ(st.pending_key, c.pending_key);
    EXPECT_EQ(st.altitude, c.altitude);
}

INSTANTIATE_TEST_SUITE_P(Replay, BadLineStops, testing::ValuesIn(stop_cases));

TEST(ReplayErrors, APrintWithABadNamePrintsNothing)
{
    replay_result r = run_script("print tick_counter qnh nosuch lamp");
    EXPECT_EQ(r.status, REPLAY_FAILED);
    EXPECT_EQ(r.out, "");
}

TEST(ReplayErrors, SerialLinesBeforeTheErrorStay)
{
    // A sentence without checksum: "ALT 00000\r".
    replay_result r = passes_with_serial(3, 0, "pass 2\nprint serial_out\nwait x\npass");
    EXPECT_EQ(r.status, REPLAY_FAILED);
    EXPECT_EQ(r.out, "serial ALT 00000\\x0D\nserial ALT 00000\\x0D\nserial_out=1\n");
    EXPECT_EQ(r.err, "ktr7-replay: line 3: wait: malformed number \"x\"\n");
}

TEST(ReplayErrors, ALongBadWordIsCutInTheMessage)
{
    std::string word(300, 'z');
    replay_result r = run_script(word);
    EXPECT_EQ(r.status, REPLAY_FAILED);
    EXPECT_EQ(r.err, "ktr7-replay: line 1: unknown command \"" + std::string(64, 'z') + "\"\n");
}

}  // namespace
