#include "demo_tags.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "download_checks.h"

namespace sim {

namespace {

std::string fixed(double value, int decimals) {
    char buffer[48];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text == "-0.0000" || text == "-0.000" || text == "-0.0") text.erase(0, 1);
    return text;
}

double number_in(const std::string& text) {
    double value = 0;
    return parse_strict_float(text, value) ? value : 0.0;
}

// A small repeatable generator, seeded by the tag ID.
class Jitter {
public:
    explicit Jitter(const std::string& seed) {
        for (unsigned char c : seed) state_ = state_ * 31u + c;
    }
    // A value in [-1, 1).
    double next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<double>((state_ >> 8) % 20000u) / 10000.0 - 1.0;
    }

private:
    unsigned state_ = 7;
};

// The output an ideal instrument gives at input x.
double ideal_output(const Tag_record& tag, double x) {
    const double in_low = number_in(tag.field(21)), in_high = number_in(tag.field(22));
    const double out_low = number_in(tag.field(23)), out_high = number_in(tag.field(24));
    if (std::fabs(in_high - in_low) < 1e-9) return x;
    return out_low + (x - in_low) / (in_high - in_low) * (out_high - out_low);
}

void set_date(Tag_record& tag, int first_field, int year, int month, int day) {
    tag.set(first_field, std::to_string(year));
    tag.set(first_field + 1, std::to_string(month));
    tag.set(first_field + 2, std::to_string(day));
}

// The configuration of a demonstration tag, as a download would leave it.
struct Demo_config {
    int position;
    const char* id;
    const char* manufacturer;
    const char* model;
    const char* serial;
    const char* input[4];   // type, units, curve, auxiliary
    const char* amplitude;
    const char* fixed_type;
    const char* fixed_value;
    const char* output[4];
    const char* tolerance;  // "" disabled
    const char* ranges[4];  // input low, high, output low, high
    std::vector<const char*> points;
    bool calibrated;
    std::tm when;
};

std::tm date(int year, int month, int day, int hour, int minute, int second) {
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

Tag_record configure(const Demo_config& c) {
    Tag_record tag;
    const char* identification[8] = {c.id, c.manufacturer, c.serial, "J. Okafor", "21 C", "45 %", "", c.model};
    for (int f = 1; f <= 8; ++f) tag.set(f, identification[f - 1]);
    for (int i = 0; i < 4; ++i) {
        tag.set(9 + i, c.input[i]);
        tag.set(16 + i, c.output[i]);
    }
    tag.set(13, c.amplitude);
    tag.set(14, c.fixed_type);
    tag.set(15, c.fixed_value);
    const bool enabled = c.tolerance[0] != '\0';
    tag.set(20, enabled ? c.tolerance : "NONE");
    for (int i = 0; i < 4; ++i) tag.set(21 + i, enabled ? c.ranges[i] : "");
    tag.set(25, std::to_string(c.points.size()));
    for (size_t i = 0; i < c.points.size(); ++i) tag.set(26 + static_cast<int>(i), c.points[i]);
    tag.set(STATE_FIELD, "1");
    return tag;
}

}  // namespace

void calibrate_tag(Tag_record& tag, const std::tm& when) {
    Jitter jitter(tag.tag_id());
    const int n = tag.points() > MAX_POINTS ? MAX_POINTS : tag.points();
    const double out_low = number_in(tag.field(23)), out_high = number_in(tag.field(24));
    double span = std::fabs(out_high - out_low);
    double tolerance = number_in(tag.field(20));
    if (span < 1e-9) span = 100.0;
    if (tolerance <= 0) tolerance = 0.5;
    const double allowed = tolerance / 100.0 * span;
    for (int point = 1; point <= n; ++point) {
        const double x = number_in(tag.field(25 + point));
        const double y = ideal_output(tag, x);
        // As Found drifts up to about one and a half tolerances; As Left is
        // adjusted to well within it.
        tag.set(25 + point, fixed(x, 4));
        tag.set(46 + point, fixed(y + allowed * 1.5 * jitter.next(), 4));
        tag.set(76 + point, fixed(x, 4));
        tag.set(97 + point, fixed(y + allowed * 0.3 * jitter.next(), 4));
    }
    tag.set(STATE_FIELD, "2");
    const bool pressure = tag.field(9) == "Pressure" || tag.field(16) == "Pressure";
    tag.set(69, pressure ? "700P07" : "");
    tag.set(70, pressure ? "G" : "");
    tag.set(71, pressure ? "100" : "");
    if (pressure)
        set_date(tag, 72, when.tm_year + 1900 - 1, when.tm_mon + 1, when.tm_mday > 28 ? 28 : when.tm_mday);
    else
        set_date(tag, 72, 0, 0, 0);
    tag.set(75, "0");
    tag.set(76, "0");
    tag.set(119, std::to_string(when.tm_year + 1900));
    tag.set(120, std::to_string(when.tm_mon + 1));
    tag.set(121, std::to_string(when.tm_mday));
    tag.set(122, std::to_string(when.tm_hour));
    tag.set(123, std::to_string(when.tm_min));
    tag.set(124, std::to_string(when.tm_sec));
    set_date(tag, 125, 2024, 9, 16);
    tag.set(128, "0");
}

void load_demo_tags(Tag_store& store) {
    const std::vector<Demo_config> demos = {
        {3, "PUMP-1", "Kestrel", "PG-40", "K40-1187", {"Pressure", "psi", "", ""}, "", "", "",
         {"Milliamp", "mA", "", ""}, "0.500", {"0.0000", "150.0000", "4.0000", "20.0000"},
         {"0.0000", "75.0000", "150.0000"}, false, {}},
        {5, "PT-101", "Kestrel", "PT-9", "P9-20417", {"Pressure", "psi", "", ""}, "", "", "",
         {"Milliamp", "mA", "", ""}, "0.250", {"0.0000", "100.0000", "4.0000", "20.0000"},
         {"0.0000", "25.0000", "50.0000", "75.0000", "100.0000"}, true, date(2025, 3, 4, 9, 12, 40)},
        {8, "PT-330", "Brandt", "DP-3", "B3-55120", {"Pressure", "bar", "", ""}, "", "", "",
         {"Milliamp Loop", "mA", "", ""}, "0.500", {"0.0000", "10.0000", "4.0000", "20.0000"},
         {"0.0000", "5.0000", "10.0000"}, true, date(2025, 3, 4, 10, 2, 5)},
        {12, "LI-450", "Orrin", "IND-2", "OR-7781", {"Milliamp 2W SIM", "mA", "", ""}, "", "", "",
         {"Manual", "%", "", ""}, "1.000", {"4.0000", "20.0000", "0.0000", "100.0000"},
         {"4.0000", "12.0000", "20.0000"}, true, date(2025, 3, 5, 8, 45, 0)},
        {17, "TT-204", "Veyra", "TX-5", "VX5-00912", {"Thermocouple", "DegC", "K", "CJC ON"}, "", "", "",
         {"Milliamp", "mA", "", ""}, "0.250", {"0.0000", "400.0000", "4.0000", "20.0000"},
         {"0.0000", "100.0000", "200.0000", "300.0000", "400.0000"}, true, date(2025, 3, 5, 13, 30, 15)},
        {21, "TY-415", "Veyra", "RC-1", "VR1-3310", {"Volts", "V", "", ""}, "", "", "",
         {"RTD", "DegC", "P100-385", "3W"}, "0.500", {"0.0000", "10.0000", "0.0000", "200.0000"},
         {"0.0000", "5.0000", "10.0000"}, true, date(2025, 3, 6, 11, 5, 30)},
        {24, "TT-812", "Veyra", "TX-7", "VX7-10442", {"RTD", "DegF", "P100-392", ""}, "", "", "",
         {"Volts", "V", "", ""}, "0.250", {"32.0000", "212.0000", "1.0000", "5.0000"},
         {"32.0000", "122.0000", "212.0000"}, true, date(2025, 3, 6, 16, 10, 27)},
        {26, "FT-120", "Halvard", "FD-10", "HM-88213", {"Frequency", "Hz", "", ""}, "5.0", "", "",
         {"Frequency", "Hz", "", ""}, "0.100", {"0.0000", "1000.0000", "0.0000", "500.0000"},
         {"0.0000", "250.0000", "500.0000", "750.0000", "1000.0000"}, true, date(2025, 3, 7, 7, 58, 2)},
        {30, "FQ-221", "Halvard", "TOT-2", "HT-1120", {"Pulse", "Hz", "", ""}, "10.0", "COUNTS", "1000",
         {"Manual", "cnt", "", ""}, "0.100", {"0.0000", "1000.0000", "0.0000", "1000.0000"},
         {"10.0000", "100.0000", "1000.0000"}, true, date(2025, 3, 7, 9, 20, 44)},
        {33, "FQ-222", "Halvard", "RT-5", "HR-5002", {"Pulse", "kHz", "", ""}, "5.0", "FREQ", "50.0",
         {"Milliamp", "mA", "", ""}, "0.200", {"0.0000", "10.0000", "4.0000", "20.0000"},
         {"0.0000", "5.0000", "10.0000"}, true, date(2025, 3, 7, 10, 5, 12)},
        {38, "TC-900", "Veyra", "TCX-2", "VT2-0071", {"Manual", "DegC", "", ""}, "", "", "",
         {"Thermocouple", "DegC", "J", "CJC ON"}, "", {"", "", "", ""},
         {"0.0000", "100.0000", "200.0000", "300.0000"}, true, date(2025, 3, 10, 15, 41, 9)},
        {41, "HS-700", "Orrin", "HUM-1", "OR-3302", {"Manual", "%RH", "", ""}, "", "", "",
         {"Volts", "V", "", ""}, "1.000", {"0.0000", "100.0000", "0.0000", "10.0000"},
         {"10.0000", "50.0000", "90.0000"}, false, {}},
        {47, "PY-560", "Brandt", "IP-2", "B2-7102", {"Milliamp", "mA", "", ""}, "", "", "",
         {"Pressure", "psi", "", ""}, "0.500", {"4.0000", "20.0000", "3.0000", "15.0000"},
         {"4.0000", "8.0000", "12.0000", "16.0000", "20.0000"}, true, date(2025, 3, 12, 14, 22, 51)},
    };
    store.clear_all();
    for (const Demo_config& demo : demos) {
        Tag_record tag = configure(demo);
        if (demo.calibrated) calibrate_tag(tag, demo.when);
        store.put(demo.position, std::move(tag));
    }

    // What real calibrations show besides readings within tolerance.
    Tag_record tt204 = store.at(17);                // a failing As Found point
    tt204.set(46 + 4, "16.3120");
    store.put(17, tt204);
    Tag_record pt330 = store.at(8);                 // a pressure module without a date
    pt330.set(74, "0");
    store.put(8, pt330);
    Tag_record ft120 = store.at(26);                // readings beyond the meter's range
    ft120.set(46 + 1, "UNDER");
    ft120.set(46 + 5, "OVER");
    ft120.set(97 + 5, "499.8800");
    store.put(26, ft120);
    Tag_record ty415 = store.at(21);
    ty415.set(46 + 3, "OVER");
    store.put(21, ty415);
}

void load_full_tags(Tag_store& store) {
    // Pressure transmitters PT-B01 .. PT-B50, 0..100 psi into 4..20 mA, with
    // 21 test points every 5 psi: the largest upload a calibrator can hold.
    std::vector<std::string> point_texts;
    for (int k = 0; k < MAX_POINTS; ++k) point_texts.push_back(fixed(5.0 * k, 4));
    std::vector<const char*> points;
    for (const auto& text : point_texts) points.push_back(text.c_str());

    store.clear_all();
    for (int position = 1; position <= MAX_TAGS; ++position) {
        char id[16], serial[16];
        std::snprintf(id, sizeof id, "PT-B%02d", position);
        std::snprintf(serial, sizeof serial, "KB-%05d", 10000 + position);
        const Demo_config config{position, id, "Kestrel", "PT-9", serial, {"Pressure", "psi", "", ""}, "", "", "",
                                 {"Milliamp", "mA", "", ""}, "0.250", {"0.0000", "100.0000", "4.0000", "20.0000"},
                                 points, true, date(2025, 4, 1 + position % 28, 8 + position % 9, position, 0)};
        Tag_record tag = configure(config);
        calibrate_tag(tag, config.when);
        store.put(position, std::move(tag));
    }
}

}  // namespace sim
