#include "records/record_chain.h"

#include <QCryptographicHash>

namespace records {

const std::string chain_start(64, '0');

namespace {

// The values go into the hash as a sequence of texts, each preceded by its
// length, so no two different records can give the same bytes.
class Value_hash {
public:
    void add(const std::string& text) {
        const std::string length = std::to_string(text.size()) + ":";
        hash_.addData(QByteArrayView(length.data(), static_cast<qsizetype>(length.size())));
        hash_.addData(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    }
    void add(int number) { add(std::to_string(number)); }
    void add(const Date_time& t) { add(date_time_iso(t)); }
    void add(const Signal& signal) {
        add(signal.type);
        add(signal.units);
        add(static_cast<int>(signal.extra_lines.size()));
        for (const auto& line : signal.extra_lines) add(line);
        add(signal.low);
        add(signal.high);
    }
    void add(const std::vector<Point>& points) {
        add(static_cast<int>(points.size()));
        for (const Point& p : points) {
            add(p.number);
            add(p.input);
            add(p.reading);
            add(p.error_text);
            add(verdict_text(p.verdict));
        }
    }
    std::string hex() { return hash_.result().toHex().toStdString(); }

private:
    QCryptographicHash hash_{QCryptographicHash::Sha256};
};

}  // namespace

std::string content_hash(const Calibration& c) {
    Value_hash hash;
    hash.add(c.tag_id);
    hash.add(c.calibrated);
    hash.add(c.manufacturer);
    hash.add(c.model);
    hash.add(c.serial);
    hash.add(c.technician);
    hash.add(c.temperature);
    hash.add(c.humidity);
    hash.add(c.other_information);
    hash.add(c.tolerance_text);
    hash.add(c.input);
    hash.add(c.output);
    hash.add(c.calibrator);
    hash.add(c.calibrator_last_cal);
    hash.add(c.as_found);
    hash.add(c.as_left);
    return hash.hex();
}

std::string link_hash(const std::string& previous_link, const std::string& content) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(previous_link.data(), static_cast<qsizetype>(previous_link.size())));
    hash.addData(QByteArrayView(content.data(), static_cast<qsizetype>(content.size())));
    return hash.result().toHex().toStdString();
}

}  // namespace records
