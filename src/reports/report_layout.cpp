#include "reports/report_layout.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "resources/strings.h"
#include "resources/text_match.h"

namespace reports {

namespace f = fields;

namespace {

// One line of the layout in its two forms.
struct Layout_line {
    const char* text;
    const char* csv;
};

constexpr Layout_line company_l = {"Company Name: %s", "\"Company Name:\",\"%s\""};
constexpr Layout_line tag_id_l = {"Tag ID: %s", "\"Tag ID:\",\"%s\""};
constexpr Layout_line calibrated_l = {"Calibrated: %4i/%02i/%02i %i:%02i:%02i",
                                      "\"Calibrated:\",\"%4i/%02i/%02i %i:%02i:%02i\""};
constexpr Layout_line manufacturer_l = {"Manufacturer:  %s", "\"Manufacturer:\",\"%s\""};
constexpr Layout_line model_l = {"Model Number:  %s", "\"Model Number:\",\"%s\""};
constexpr Layout_line serial_l = {"Serial Number: %s", "\"Serial Number:\",\"%s\""};
constexpr Layout_line technician_l = {"Technician: %s", "\"Technician:\",\"%s\""};
constexpr Layout_line ambient_l = {"Ambient conditions:", "\"Ambient conditions:\""};
constexpr Layout_line temperature_l = {"   Temperature: %s", "\"Temperature:\",\"%s\""};
constexpr Layout_line humidity_l = {"   Humidity:    %s", "\"Humidity:\",\"%s\""};
constexpr Layout_line other_l = {"Other information: %s", "\"Other information:\",\"%s\""};
constexpr Layout_line tolerance_l = {"Tolerance: %.3f%%", "\"Tolerance:\",\"%.3f%%\""};
constexpr Layout_line no_tolerance_l = {"Tolerance: None", "\"Tolerance:\",\"None\""};
constexpr Layout_line instrument_l = {"Instrument:", "\"Instrument:\""};
constexpr Layout_line input_type_l = {"   Input type:  %s, %s", "\"Input type:\",\"%s, %s\""};
constexpr Layout_line output_type_l = {"   Output type: %s, %s", "\"Output type:\",\"%s, %s\""};
constexpr Layout_line extra_l = {"      %s", "\"%s\""};
constexpr Layout_line range_l = {"      Range: %8s to %8s", "\"Range:\",\"%s to %s\""};
constexpr Layout_line calibrator_l = {"Calibrator: %s %s S/N %s", "\"Calibrator:\",\"%s %s S/N %s\""};
constexpr Layout_line last_cal_l = {"   Last Cal.: %4i/%02i/%02i", "\"Last Cal.:\",\"%4i/%02i/%02i\""};
constexpr Layout_line as_found_l = {"As Found Data", "\"As Found Data\""};
constexpr Layout_line as_left_l = {"As Left Data", "\"As Left Data\""};
constexpr Layout_line heading_error_l = {"Point  %9s  %9s  %% Error", "\"Point\",\"%s\",\"%s\",\"%% Error\""};
constexpr Layout_line heading_l = {"Point  %9s  %9s", "\"Point\",\"%s\",\"%s\""};
constexpr Layout_line point_l = {" %2i    %9s  %9s  %s", "\"%i\",\"%s\",\"%s\",%s"};
constexpr Layout_line pass_l = {"%7.3f  Pass", "\"%.3f\",\"Pass\""};
constexpr Layout_line fail_l = {"%7.3f  Fail", "\"%.3f\",\"Fail\""};
constexpr Layout_line fail_blank_l = {"%7s  Fail", "\"%s\",\"Fail\""};
constexpr Layout_line pad_l = {"                     ", "\"                     \""};
constexpr Layout_line technician_sig_l = {"Technician Signature ______________________________",
                                          "\"Technician Signature\",\"______________________________\""};
constexpr Layout_line approval_sig_l = {"Approval Signature   ______________________________",
                                        "\"Approval Signature\",\"______________________________\""};
constexpr Layout_line date_sig_l = {"Date                 ______________________________",
                                    "\"Date\",\"______________________________\""};
constexpr Layout_line comments_l = {"Comments:", "\"Comments:\""};

// Texts of the signal descriptions (the same in both layouts).
constexpr const char* level_t = "Level: %s Vpp";
constexpr const char* fixed_counts_t = "Fixed: %s Cnts";
constexpr const char* fixed_units_t = "Fixed: %s %s";
constexpr const char* module_no_cal_t = "%10s No Cal avl";
constexpr const char* module_date_t = "%s %4i/%02i/%02i";
constexpr const char* module_psi_t = "%s psi %s";
constexpr std::string_view counts_units = "Cnts";
constexpr std::string_view pulse_counts = "COUNTS";

// The relative rounding margin of the verdict: far above the error of
// double arithmetic on readings, far below any tolerance a calibrator holds.
constexpr double verdict_margin = 1e-9;

using Args = std::vector<res::Format_arg>;

res::Format_arg str(std::string_view s) { return s; }
res::Format_arg num(long long i) { return i; }

const char* pick(const Layout_line& line, Report_format format) {
    return format == Report_format::csv ? line.csv : line.text;
}

// In the CSV layout every text argument stands inside a quoted field, so its
// double quotes are doubled; the TEXT layout takes texts as they are.
std::string make(const Layout_line& line, Report_format format, const Args& args = {}) {
    if (format != Report_format::csv) return res::format_template(line.text, args);
    std::vector<std::string> escaped;
    escaped.reserve(args.size());  // the views below point into it
    Args csv_args = args;
    for (auto& arg : csv_args) {
        auto* text = std::get_if<std::string_view>(&arg);
        if (!text || text->find('"') == std::string_view::npos) continue;
        escaped.push_back(csv_escaped(*text));
        *text = escaped.back();
    }
    return res::format_template(line.csv, csv_args);
}

// The result column of a point row: empty without tolerance testing.
std::string result_text(const Point_result& result, Report_format format) {
    if (!result.error_percent) return make(fail_blank_l, format, {str("")});
    return make(result.pass ? pass_l : fail_l, format, {*result.error_percent});
}

void add_points(std::vector<std::string>& out, const Field_table& table, Report_format format,
                double tolerance, int input_base, int output_base) {
    const int n = std::clamp(table.field_int(f::point_count), 0, max_points);
    for (int k = 1; k <= n; ++k) {
        const std::string& x = table.field_text(input_base + k);
        const std::string& y = table.field_text(output_base + k);
        std::string result;
        if (tolerance > -0.5) result = result_text(point_result(table, x, y, tolerance), format);
        // The result closes the row and is in the layout already (whole CSV
        // fields): it is appended, not passed through the quoting.
        out.push_back(make(point_l, format, {num(k), str(x), str(y), str("")}) + result);
    }
}

}  // namespace

std::string csv_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out;
}

std::string read_csv_value(std::string_view text, std::size_t* used) {
    std::string value;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        if (text[i] != '"') {
            value += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            value += '"';
            ++i;
        } else {
            ++i;  // the closing quote
            break;
        }
    }
    if (used) *used = i;
    return value;
}

double report_tolerance(const Field_table& table) {
    if (table.field_text(f::tolerance) == none_marker) return -1.0;
    return table.field_real(f::tolerance);
}

Signal_description describe_signal(const Field_table& table, tags::Direction direction,
                                   std::string_view type, std::string_view units,
                                   std::string_view curve, std::string_view auxiliary) {
    Signal_description d;
    d.description = type;
    d.units_shown = units;
    auto field = [&table](int number) { return str(table.field_text(number)); };
    auto level = [&] { return res::format_template(level_t, {field(f::input_amplitude)}); };

    if (type == tags::type_thermocouple) {
        d.description = std::string(type) + " " + std::string(curve);
        d.extra_line_1 = auxiliary;
    } else if (type == tags::type_rtd) {
        d.description = std::string(type) + " ";
        if (direction == tags::Direction::output) d.description += std::string(auxiliary) + " ";
        d.description += curve;
    } else if (type == tags::type_frequency) {
        if (direction == tags::Direction::input) d.extra_line_1 = level();
    } else if (type == tags::type_pulse) {
        if (res::equal_ignoring_case(table.field_text(f::pulse_fixed_type), pulse_counts)) {
            d.extra_line_2 = res::format_template(fixed_counts_t, {field(f::pulse_fixed_value)});
        } else {
            d.units_shown = counts_units;
            d.extra_line_2 = res::format_template(fixed_units_t, {field(f::pulse_fixed_value), str(units)});
        }
        d.extra_line_1 = level();
    } else if (type == tags::type_pressure) {
        if (table.field_int(f::module_day) < 1)
            d.extra_line_1 = res::format_template(module_no_cal_t, {field(f::module_id)});
        else
            d.extra_line_1 = res::format_template(
                module_date_t, {field(f::module_id), num(table.field_int(f::module_year)),
                                num(table.field_int(f::module_month)), num(table.field_int(f::module_day))});
        d.extra_line_2 =
            res::format_template(module_psi_t, {field(f::module_before_psi), field(f::module_after_psi)});
    }
    d.column_units = d.units_shown;
    return d;
}

Point_result point_result(const Field_table& table, std::string_view x, std::string_view y, double tolerance) {
    // A reading that is not a number (a marker, a blank, other text) cannot
    // be judged: it fails without a figure rather than counting as 0.
    const std::optional<double> input = read_finite_decimal(x);
    const std::optional<double> output = read_finite_decimal(y);
    if (!input || !output) return {};
    const double a = *input;
    const double il = table.field_real(f::input_low);
    const double ih = table.field_real(f::input_high);
    const double o = *output;
    const double ol = table.field_real(f::output_low);
    const double oh = table.field_real(f::output_high);

    const double span = oh - ol;
    const double input_span = ih - il;
    // A range of zero width leaves the expected value or the error undefined.
    if (span == 0.0 || input_span == 0.0) return {};
    const double expected = ((a - il) / input_span) * span + ol;
    const double error = (o - expected) / span * 100;
    if (!std::isfinite(expected) || !std::isfinite(error)) return {};

    double allowed = std::fabs(span) * tolerance * 0.01;
    if (allowed < 0.00001) allowed = 0.00001;
    // Decimal readings are not exact in binary: a deviation equal to the
    // allowance in decimal may come out a few units in the last place above
    // it.  The relative margin lets equality pass as intended.
    return {std::fabs(expected - o) <= allowed * (1 + verdict_margin), error};
}

void add_pad_lines(std::vector<std::string>& lines, int count, Report_format format) {
    for (int i = 0; i < count; ++i) lines.emplace_back(pick(pad_l, format));
}

std::string company_line(std::string_view company, Report_format format) {
    return make(company_l, format, {str(company)});
}

std::vector<std::string> report_lines(const Field_table& table, Report_format format,
                                      std::string_view company, int index) {
    std::vector<std::string> out;
    out.reserve(128);
    auto field = [&table](int number) { return str(table.field_text(number)); };
    auto integer = [&table](int number) { return num(table.field_int(number)); };
    auto add = [&](const Layout_line& line, const Args& args = {}) { out.push_back(make(line, format, args)); };

    const double tolerance = report_tolerance(table);
    const bool judged = tolerance > -0.5;

    if (index > 0) {
        out.emplace_back(report_separator);
        out.emplace_back();
    }
    if (!company.empty()) {
        out.push_back(company_line(company, format));
        out.emplace_back();
    }
    add(tag_id_l, {field(f::tag_id)});
    const int c = f::calibrated_year;
    add(calibrated_l, {integer(c), integer(c + 1), integer(c + 2), integer(c + 3), integer(c + 4), integer(c + 5)});
    add(manufacturer_l, {field(f::manufacturer)});
    add(model_l, {field(f::model)});
    add(serial_l, {field(f::serial_number)});
    add(technician_l, {field(f::technician)});
    add(ambient_l);
    add(temperature_l, {field(f::temperature)});
    add(humidity_l, {field(f::humidity)});
    add(other_l, {field(f::other)});
    if (tolerance >= 0)
        add(tolerance_l, {tolerance});
    else
        add(no_tolerance_l);

    add(instrument_l);
    const Signal_description input =
        describe_signal(table, tags::Direction::input, table.field_text(f::input_type),
                        table.field_text(f::input_units), table.field_text(f::input_curve),
                        table.field_text(f::input_auxiliary));
    const Signal_description output =
        describe_signal(table, tags::Direction::output, table.field_text(f::output_type),
                        table.field_text(f::output_units), table.field_text(f::output_curve),
                        table.field_text(f::output_auxiliary));
    auto side = [&](const Layout_line& type_line, const Signal_description& d, int low, int high) {
        add(type_line, {str(d.description), str(d.units_shown)});
        if (!d.extra_line_1.empty()) add(extra_l, {str(d.extra_line_1)});
        if (!d.extra_line_2.empty()) add(extra_l, {str(d.extra_line_2)});
        if (judged) add(range_l, {field(low), field(high)});
    };
    side(input_type_l, input, f::input_low, f::input_high);
    side(output_type_l, output, f::output_low, f::output_high);

    add(calibrator_l, {field(f::calibrator_manufacturer), field(f::calibrator_model), field(f::report_serial)});
    add(last_cal_l, {integer(f::last_cal_year), integer(f::last_cal_year + 1), integer(f::last_cal_year + 2)});
    out.emplace_back();

    const Layout_line& heading = judged ? heading_error_l : heading_l;
    const Args heading_args = {str(input.column_units), str(output.column_units)};
    add(as_found_l);
    add(heading, heading_args);
    add_points(out, table, format, tolerance, f::found_input_base, f::found_output_base);
    out.emplace_back();
    add(as_left_l);
    add(heading, heading_args);
    add_points(out, table, format, tolerance, f::left_input_base, f::left_output_base);

    add_pad_lines(out, 4, format);
    add(technician_sig_l);
    add_pad_lines(out, 4, format);
    add(approval_sig_l);
    add_pad_lines(out, 4, format);
    add(date_sig_l);
    add_pad_lines(out, 1, format);
    add(comments_l);
    add_pad_lines(out, 15, format);
    return out;
}

void render_text_report(const Field_table& table, std::string_view company, int index, Report_list& list) {
    for (const auto& line : report_lines(table, Report_format::text, company, index)) list.add_report_line(line);
}

void render_csv_report(const Field_table& table, std::string_view company, int index, Report_list& list) {
    for (const auto& line : report_lines(table, Report_format::csv, company, index)) list.add_report_line(line);
}

}  // namespace reports
