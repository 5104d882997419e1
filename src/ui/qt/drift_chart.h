// The drift chart of the Calibration Records window: the selected tag's As
// Found error of each point over time (one line per input value), its As
// Left figures as hollow markers, the tolerance as two horizontal lines and
// each point's fitted line dashed.  Hovering a point or line shows its
// values.  The chart saves as a PNG image and prints.
#pragma once

#include <QWidget>
#include <string>

#include "records/drift.h"

class QChart;
class QChartView;
class QPushButton;

namespace ui::qt {

class Drift_chart : public QWidget {
public:
    explicit Drift_chart(QWidget* parent);

    // Draws the drift of a tag (an empty tag ID: no tag selected).
    void show_drift(const std::string& tag_id, const records::Tag_drift& drift);

    QChart* chart() const { return chart_; }

private:
    void save_png();
    void print();

    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* print_ = nullptr;
};

}  // namespace ui::qt
