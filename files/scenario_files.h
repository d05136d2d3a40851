// What a host with a file system lends a scenario (the replay tool, the
// window, Python): LCD pictures, dumps and animations written, reference
// pictures compared (or rewritten with --update), and recorded flights read. Relative
// references (expect png, flight) are taken from the scenario's folder;
// png and dump write where they are told.
#pragma once
#include <string>

#include "session/scenario_executor.h"

class scenario_files final : public scenario_lender {
public:
    // The folder relative references are taken from; "" for the working
    // directory.
    void set_reference_folder(const std::string& folder) { folder_ = folder; }
    const std::string& reference_folder() const { return folder_; }
    // expect png rewrites a differing or missing reference from the LCD.
    void set_update_pictures(bool update) { update_ = update; }
    // Without touching a file: png, dump, expect png and gif check their
    // arguments only, flight reads nothing (the fuzzing target).
    void set_touch_files(bool touch) { touch_ = touch; }

    bool lends_files() const override { return true; }
    bool write_png(const char* path, const uint8_t* frame, int scale, std::string& why) override;
    bool write_dump(const char* path, const uint8_t* frame, std::string& why) override;
    picture_check check_png(const char* path, const uint8_t* frame, std::string& text) override;
    std::unique_ptr<lcd_recording> record_gif(instrument_session& session, const char* path, int scale,
                                              std::string& why) override;
    bool lends_flights() const override { return true; }
    std::unique_ptr<flight> read_flight(const char* path, std::string& error, std::string& warning) override;

private:
    std::string resolved(const char* path) const;

    std::string folder_;
    bool update_ = false;
    bool touch_ = true;
};
