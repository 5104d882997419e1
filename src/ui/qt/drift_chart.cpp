#include "ui/qt/drift_chart.h"

#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>

#include "resources/drift_strings.h"
#include "resources/strings.h"

namespace ui::qt {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// A calibration's moment on the time axis.
qreal msecs(const records::Date_time& t) {
    return static_cast<qreal>(
        QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second)).toMSecsSinceEpoch());
}

records::Date_time date_at(qreal ms) {
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ms));
    return records::Date_time{t.date().year(), t.date().month(), t.date().day(),
                              t.time().hour(), t.time().minute(), t.time().second()};
}

// Shows the text of the series' point nearest in time as the tooltip while
// the pointer is over the series (a line reports any place along it).
void tooltip_on_hover(QWidget* view, QXYSeries* series, std::function<QString(const QPointF&)> text) {
    QObject::connect(series, &QXYSeries::hovered, series, [view, series, text](const QPointF& place, bool over) {
        if (!over || series->count() == 0) {
            view->setToolTip(QString());
            QToolTip::hideText();
            return;
        }
        const QList<QPointF> points = series->points();
        const auto nearest = std::min_element(points.begin(), points.end(), [&](const QPointF& a, const QPointF& b) {
            return std::fabs(a.x() - place.x()) < std::fabs(b.x() - place.x());
        });
        // Also the view's own tooltip, shown again while the pointer rests there.
        view->setToolTip(text(*nearest));
        QToolTip::showText(QCursor::pos(), view->toolTip(), view);
    });
}

void hide_from_legend(QChart* chart, QAbstractSeries* series) {
    for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

}  // namespace

Drift_chart::Drift_chart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("drift_chart"));
    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignRight);
    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(fontMetrics().height() * 14);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    auto* buttons = new QHBoxLayout;
    save_ = new QPushButton(q(res::str(res::IDS_DRIFT_SAVE_PNG)), this);
    save_->setObjectName(QStringLiteral("save_chart"));
    print_ = new QPushButton(q(res::str(res::IDS_DRIFT_PRINT)), this);
    print_->setObjectName(QStringLiteral("print_chart"));
    for (QPushButton* b : {save_, print_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, [this] { save_png(); });
    connect(print_, &QPushButton::clicked, this, [this] { print(); });
}

void Drift_chart::show_drift(const std::string& tag_id, const records::Tag_drift& drift) {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    chart_->setTitle(tag_id.empty() ? QString() : q(res::format(res::IDS_DRIFT_CHART_TITLE, tag_id)));

    // The span of the axes: every figure and the tolerance.
    qreal first = 0, last = 0, low = 0, high = 0;
    bool any = false;
    const auto include = [&](const records::Drift_figure& f) {
        const qreal x = msecs(f.calibrated);
        first = any ? std::min(first, x) : x;
        last = any ? std::max(last, x) : x;
        low = std::min(low, static_cast<qreal>(f.error_percent));
        high = std::max(high, static_cast<qreal>(f.error_percent));
        any = true;
    };
    for (const auto& p : drift.points) {
        std::for_each(p.as_found.begin(), p.as_found.end(), include);
        std::for_each(p.as_left.begin(), p.as_left.end(), include);
    }
    const bool has_figures = any;
    save_->setEnabled(has_figures);
    print_->setEnabled(has_figures);
    if (!has_figures) {
        if (!tag_id.empty()) chart_->setTitle(q(res::str(res::IDS_DRIFT_NO_FIGURES)));
        return;
    }
    if (drift.tolerance_percent) {
        low = std::min(low, -*drift.tolerance_percent);
        high = std::max(high, *drift.tolerance_percent);
    }
    const qreal day = 86400000.0;
    if (last - first < day) {  // one calibration: a month either side
        first -= 30 * day;
        last += 30 * day;
    }
    const qreal margin = std::max<qreal>((high - low) * 0.1, 0.05);
    // Room either side so the first and last markers are drawn whole.
    const qreal border = (last - first) * 0.04;
    first -= border;
    last += border;

    auto* x_axis = new QDateTimeAxis;
    x_axis->setFormat(QStringLiteral("yyyy-MM-dd"));
    x_axis->setTitleText(q(res::str(res::IDS_DRIFT_AXIS_DATE)));
    x_axis->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(first)),
                     QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(last)));
    auto* y_axis = new QValueAxis;
    y_axis->setTitleText(q(res::format(res::IDS_DRIFT_AXIS_ERROR)));
    y_axis->setRange(low - margin, high + margin);
    y_axis->applyNiceNumbers();
    chart_->addAxis(x_axis, Qt::AlignBottom);
    chart_->addAxis(y_axis, Qt::AlignLeft);
    const auto add = [&](QXYSeries* series) {
        chart_->addSeries(series);
        series->attachAxis(x_axis);
        series->attachAxis(y_axis);
    };

    if (drift.tolerance_percent) {
        const double t = *drift.tolerance_percent;
        for (const double limit : {t, -t}) {
            auto* line = new QLineSeries;
            line->setName(q(res::format(res::IDS_DRIFT_TOLERANCE, QString::number(t, 'f', 3).toStdString())));
            line->setPen(QPen(QColor(200, 0, 0), 2));
            line->append(first, limit);
            line->append(last, limit);
            add(line);
            if (limit < 0) hide_from_legend(chart_, line);
        }
    }

    const int count = static_cast<int>(drift.points.size());
    for (int i = 0; i < count; ++i) {
        const records::Point_drift& p = drift.points[static_cast<std::size_t>(i)];
        // Hues from orange round to violet: red is the tolerance's.
        const QColor colour = QColor::fromHsv(30 + i * 300 / std::max(count, 1), 220, 190);
        const QString input = q(p.input);
        const auto figure_tooltip = [input](const char* phase) {
            return [input, phase](const QPointF& at) {
                return q(res::format(res::IDS_DRIFT_TOOLTIP_FIGURE, input.toStdString(), std::string(phase),
                                     records::date_time_text(date_at(at.x())), at.y()));
            };
        };

        auto* found = new QLineSeries;
        found->setName(input);
        found->setPen(QPen(colour, 2));
        found->setPointsVisible(true);
        for (const auto& f : p.as_found) found->append(msecs(f.calibrated), f.error_percent);
        add(found);
        tooltip_on_hover(view_, found, figure_tooltip("As Found"));

        if (!p.as_left.empty()) {
            auto* left = new QScatterSeries;
            left->setName(q(res::format(res::IDS_DRIFT_AS_LEFT, p.input)));
            left->setMarkerShape(QScatterSeries::MarkerShapeCircle);
            left->setMarkerSize(9);
            left->setBrush(Qt::NoBrush);  // hollow
            left->setPen(QPen(colour, 2));
            for (const auto& f : p.as_left) left->append(msecs(f.calibrated), f.error_percent);
            add(left);
            hide_from_legend(chart_, left);
            tooltip_on_hover(view_, left, figure_tooltip("As Left"));
        }

        if (p.drift_percent_per_year) {
            auto* fitted = new QLineSeries;
            fitted->setName(q(res::format(res::IDS_DRIFT_FITTED, p.input)));
            QPen dashed(colour, 1.5);
            dashed.setStyle(Qt::DashLine);
            fitted->setPen(dashed);
            for (const auto* f : {&p.as_found.front(), &p.as_found.back()})
                fitted->append(msecs(f->calibrated), p.fit_intercept + *p.drift_percent_per_year * f->years);
            add(fitted);
            hide_from_legend(chart_, fitted);
            const std::string text = res::format(res::IDS_DRIFT_TOOLTIP_FIT, p.input,
                                                 records::drift_text(p.drift_percent_per_year),
                                                 p.projected ? records::date_text(*p.projected) : std::string("-"));
            tooltip_on_hover(view_, fitted, [text](const QPointF&) { return q(text); });
        }
    }
}

void Drift_chart::save_png() {
    QFileDialog dialog(this, q(res::str(res::IDS_DRIFT_SAVE_PNG)).remove(QStringLiteral("...")), QString(),
                       q(res::str(res::IDS_DRIFT_PNG_FILTER)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));  // added before the dialog asks about overwriting
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().front();
    if (!view_->grab().save(file, "PNG"))
        QMessageBox::critical(this, windowTitle(), q(res::format(res::IDS_DRIFT_SAVE_FAILED, file.toStdString())));
}

void Drift_chart::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter painter(&printer);
    // The scene drawn at the printer's resolution, as large as the page allows.
    view_->render(&painter, QRectF(painter.viewport()), view_->viewport()->rect(), Qt::KeepAspectRatio);
}

}  // namespace ui::qt
