// The widgets and layout of the three parameter pages. Group boxes stand in columns; in
// each group a label column and a field column, fields filling the group's width.
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/controlnames.h"
#include "mainwindow/paramcombobox.h"
#include "mainwindow/spineditbox.h"
#include "mainwindow/tabsheetdialog.h"
#include "protocol/controlids.h"

namespace vela {
namespace {

using namespace ctl;

// A group box with rows of label, field and an optional widget to the right.
class Group {
  public:
    Group(CTabSheetDialog& page, const QString& title) : m_box(new QGroupBox(title, &page)) {
        m_grid = new QGridLayout(m_box);
        m_grid->setColumnStretch(1, 1);
        m_grid->setHorizontalSpacing(8);
        m_grid->setVerticalSpacing(6);
    }

    QGroupBox* box() const { return m_box; }
    QGridLayout* grid() const { return m_grid; }

    // `label` may be null: the field then starts at the label column's edge and is named
    // after the group.
    void Row(QLabel* label, QWidget* field, QWidget* extra = nullptr) {
        if (label) {
            m_grid->addWidget(label, m_row, 0, Qt::AlignLeft | Qt::AlignVCenter);
            m_labels.push_back(label);
            NameAfterLabel(field, label);
        } else {
            field->setAccessibleName(m_box->title().trimmed());
        }
        const int span = extra ? 1 : 2;
        m_grid->addWidget(field, m_row, 1, 1, span);
        if (extra) m_grid->addWidget(extra, m_row, 2);
        ++m_row;
    }
    void Row(const QString& label, QWidget* field, QWidget* extra = nullptr) {
        Row(new QLabel(label), field, extra);
    }
    // A widget across the whole group.
    void Wide(QWidget* widget, Qt::Alignment align = {}) {
        m_grid->addWidget(widget, m_row++, 0, 1, 3, align);
    }
    void Wide(QLayout* layout) { m_grid->addLayout(layout, m_row++, 0, 1, 3); }
    // The group's only field, across the whole group and named after it.
    void Field(QWidget* field) {
        field->setAccessibleName(m_box->title().trimmed());
        Wide(field);
    }
    // A widget spanning the field columns of this row and the next: the limit "Read" buttons.
    void Side(QWidget* widget, int rows) { m_grid->addWidget(widget, m_row - rows, 2, rows, 1); }

    const QList<QLabel*>& labels() const { return m_labels; }

  private:
    QGroupBox* m_box;
    QGridLayout* m_grid;
    int m_row = 0;
    QList<QLabel*> m_labels;
};

// A column of groups whose label columns share one width, so fields line up.
class Column {
  public:
    explicit Column(QHBoxLayout* columns) : m_layout(new QVBoxLayout) {
        m_layout->setSpacing(10);
        columns->addLayout(m_layout, 1);
    }
    ~Column() {
        int width = 0;
        for (QLabel* label : m_labels) width = std::max(width, label->sizeHint().width());
        for (QLabel* label : m_labels) label->setMinimumWidth(width);
        m_layout->addStretch(1);
    }
    Column(const Column&) = delete;
    Column& operator=(const Column&) = delete;

    void Add(const Group& group) {
        m_layout->addWidget(group.box());
        m_labels += group.labels();
    }
    void Add(QWidget* widget) { m_layout->addWidget(widget); }
    void Add(QLayout* layout) { m_layout->addLayout(layout); }

  private:
    QVBoxLayout* m_layout;
    QList<QLabel*> m_labels;
};

QHBoxLayout* PageColumns(CTabSheetDialog& page) {
    auto* columns = new QHBoxLayout(&page);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(12);
    return columns;
}

// A read-only value shown in a sunken field: limits, line period and line rate.
QLabel* ValueStatic(CTabSheetDialog& page, int ctrlId, const QString& text) {
    QLabel* label = page.AddStatic(ctrlId, text);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000000.0000hz")) + 12);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel* Caption(CTabSheetDialog& page, int ctrlId, const QString& text) {
    return page.AddStatic(ctrlId, text);
}

// A push button that sits to the right of its row without stretching.
QPushButton* SideButton(CTabSheetDialog& page, int ctrlId, const QString& text) {
    QPushButton* button = page.AddButton(ctrlId, text);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return button;
}

QHBoxLayout* RightAligned(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addStretch(1);
    for (QWidget* w : widgets) row->addWidget(w);
    return row;
}

// A small heading with a rule, for a block inside a group.
QWidget* SubHeading(CTabSheetDialog& page, const QString& text) {
    auto* holder = new QWidget(&page);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 4, 0, 0);
    auto* label = new QLabel(text, holder);
    auto* rule = new QFrame(holder);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    row->addWidget(label);
    row->addWidget(rule, 1);
    return holder;
}

const QStringList kOffOn = {QStringLiteral("Off"), QStringLiteral("On")};
const QStringList kOffOnceContinuous = {QStringLiteral("Off"), QStringLiteral("Once"),
                                        QStringLiteral("Continuous")};
const QStringList kBinning = {QStringLiteral("Binning Off"), QStringLiteral("Binning On")};
const QStringList kAreas = {QStringLiteral("Factory Area"), QStringLiteral("User Area")};
const QStringList kDisableEnable = {QStringLiteral("Disable"), QStringLiteral("Enable")};

void BuildUserA(CTabSheetDialog& page) {
    QHBoxLayout* columns = PageColumns(page);
    {
        Column column(columns);
        Group trigger(page, QStringLiteral("Trigger"));
        trigger.Row(QStringLiteral("Trigger Origin"),
                    page.AddCombo(kTriggerOrigin, {QStringLiteral("Internal"), QStringLiteral("External")}));
        trigger.Row(QStringLiteral("Trigger Input"),
                    page.AddCombo(kTriggerInput, {QStringLiteral("Camera-Link"), QStringLiteral("12pin")}));
        trigger.Row(
            QStringLiteral("Trigger Activation"),
            page.AddCombo(kTriggerActivation, {QStringLiteral("RisingEdge"), QStringLiteral("FallingEdge"),
                                               QStringLiteral("LevelHigh"), QStringLiteral("LevelLow")}));
        trigger.Row(QStringLiteral("Auto Reset Mode"), page.AddCombo(kAutoResetMode, kOffOn));
        column.Add(trigger);

        Group exposure(page, QStringLiteral("Exposure"));
        exposure.Row(QStringLiteral("Exposure Mode"),
                     page.AddCombo(kExposureMode, {QStringLiteral("OFF"), QStringLiteral("Timed"),
                                                   QStringLiteral("TriggerWidth")}));
        exposure.Row(QStringLiteral("Exposure Time Raw"), page.AddSpin(kExposureTime, kExposureTimeSpin));
        exposure.Row(QStringLiteral("Exposure max limit"),
                     ValueStatic(page, kExposureMaxLabel, QStringLiteral("-")), nullptr);
        exposure.Row(QStringLiteral("Exposure min limit"),
                     ValueStatic(page, kExposureMinLabel, QStringLiteral("-")), nullptr);
        exposure.Wide(RightAligned({SideButton(page, kExposureLimitsRead, QStringLiteral("Read"))}));
        column.Add(exposure);
    }
    {
        Column column(columns);
        Group lineRate(page, QStringLiteral("Line Rate"));
        lineRate.Row(QStringLiteral("Line Rate"), page.AddSpin(kLineRate, kLineRateSpin));
        auto* rates = new QHBoxLayout;
        rates->setSpacing(6);
        rates->addWidget(ValueStatic(page, kLinePeriodLabel, QStringLiteral("XXX.XXms")), 1);
        rates->addWidget(ValueStatic(page, kLineFrequencyLabel, QStringLiteral("XXX.XXHz")), 1);
        auto* ratesHolder = new QWidget(&page);
        rates->setContentsMargins(0, 0, 0, 0);
        ratesHolder->setLayout(rates);
        lineRate.Row(nullptr, ratesHolder);
        lineRate.Row(QStringLiteral("Line Rate min limit"),
                     ValueStatic(page, kLineRateMinLabel, QStringLiteral("-")),
                     SideButton(page, kLineRateMinRead, QStringLiteral("Read")));
        lineRate.Row(QStringLiteral("Auto Line Rate"),
                     SideButton(page, kOnePush, QStringLiteral("One-push")));
        lineRate.Row(QStringLiteral("Auto Line rate ref"),
                     page.AddSpin(kAutoLineRateRef, kAutoLineRateRefSpin));
        column.Add(lineRate);

        Group format(page, QStringLiteral("Image format"));
        format.Row(Caption(page, kBinningVLabel, QStringLiteral("Binning V")),
                   page.AddCombo(kBinningV, kBinning));
        format.Row(Caption(page, kBinningHLabel, QStringLiteral("Binning H")),
                   page.AddCombo(kBinningH, kBinning));
        format.Row(Caption(page, kBinningHModeLabel, QStringLiteral("Binning Horizontal Mode")),
                   page.AddCombo(kBinningHMode, {QStringLiteral("Average"), QStringLiteral("Sum")}));
        format.Row(QStringLiteral("Bit Allocation"),
                   page.AddCombo(kBitAllocation, {QStringLiteral("8bit"), QStringLiteral("10bit")}));
        format.Row(
            QStringLiteral("Device\nTap Geometry"),
            page.AddCombo(kTapGeometry, {QStringLiteral("Geometry_1X2"), QStringLiteral("Geometry_1X3"),
                                         QStringLiteral("Geometry_1X4"), QStringLiteral("Geometry_1X8"),
                                         QStringLiteral("Geometry_1X10")}));
        format.Row(QStringLiteral("CL Clock"),
                   page.AddCombo(kClClock, {QStringLiteral("85MHz"), QStringLiteral("63.75MHz"),
                                            QStringLiteral("42.5MHz"), QStringLiteral("31.875MHz")}));
        format.Row(QStringLiteral("Test Pattern"),
                   page.AddCombo(kTestPattern, {QStringLiteral("Off"), QStringLiteral("Monochrome"),
                                                QStringLiteral("Grey Pattern"), QStringLiteral("White")}));
        column.Add(format);
    }
    {
        Column column(columns);
        Group gain(page, QStringLiteral("Gain and signal settings"));
        gain.Row(QStringLiteral("Gain Level"), page.AddSpin(kGainLevel, kGainLevelSpin));
        gain.Row(QStringLiteral("Analog Base Gain All"),
                 page.AddCombo(kAnalogBaseGain, {QStringLiteral("0dB"), QStringLiteral("6dB"),
                                                 QStringLiteral("9.54dB"), QStringLiteral("12dB")}));
        gain.Row(QStringLiteral("Black Level"), page.AddSpin(kBlackLevel, kBlackLevelSpin));
        column.Add(gain);
    }

    // Automatic exposure and gain controls of the template: bound, but never shown.
    page.HideForever(page.AddCombo(kExposureAuto, kOffOnceContinuous));
    page.HideForever(page.AddSpin(kExposureAutoMax, kExposureAutoMaxSpin));
    page.HideForever(page.AddSpin(kExposureAutoMin, kExposureAutoMinSpin));
    page.HideForever(page.AddCombo(kGainAuto, kOffOnceContinuous));
    page.HideForever(page.AddSpin(kGainAutoMax, kGainAutoMaxSpin));
    page.HideForever(page.AddSpin(kGainAutoMin, kGainAutoMinSpin));
    page.HideForever(page.AddSpin(kAlcReference, kAlcReferenceSpin));
    page.HideForever(page.AddSpin(kAlcSpeed, kAlcSpeedSpin));
}

void BuildUserB(CTabSheetDialog& page) {
    QHBoxLayout* columns = PageColumns(page);
    {
        Column column(columns);
        Group shading(page, QStringLiteral("Shading Correction"));
        shading.Row(Caption(page, kShadingModeLabel, QStringLiteral("Correction Mode")),
                    page.AddCombo(kShadingMode, {QStringLiteral("Off"), QStringLiteral("Factory Area"),
                                                 QStringLiteral("User Area")}));
        shading.Wide(
            RightAligned({SideButton(page, kRecalibrateShading, QStringLiteral("Recalibrate Shading"))}));
        column.Add(shading);

        Group pixelGain(page, QStringLiteral("Pixel Gain Correction"));
        pixelGain.Row(QStringLiteral("Correction Mode"), page.AddCombo(kPixelGainMode, kAreas));
        pixelGain.Wide(RightAligned(
            {SideButton(page, kRecalibratePixelGain, QStringLiteral("Recalibrate Pixel Gain"))}));
        column.Add(pixelGain);

        Group pixelBlack(page, QStringLiteral("Pixel Black Correction"));
        pixelBlack.Row(QStringLiteral("Correction Mode"), page.AddCombo(kPixelBlackMode, kAreas));
        pixelBlack.Wide(RightAligned(
            {SideButton(page, kRecalibratePixelBlack, QStringLiteral("Recalibrate Pixel Black"))}));
        column.Add(pixelBlack);
    }
    {
        Column column(columns);
        Group lut(page, QStringLiteral("LUT"));
        lut.Row(QStringLiteral("LUT selector"),
                page.AddCombo(kLutSelector,
                              {QStringLiteral("Off"), QStringLiteral("LUT"), QStringLiteral("Gamma")}));
        lut.Wide(RightAligned({SideButton(page, kOpenLutTable, QStringLiteral("Open LUT Table"))}));
        lut.Row(Caption(page, kGammaLabel, QStringLiteral("Gamma Selector")),
                page.AddSpin(kGamma, kGammaSpin));
        lut.Wide(SubHeading(page, QStringLiteral("G")));
        lut.Row(QStringLiteral("Index"), page.AddSpin(kLutIndex, kLutIndexSpin));
        lut.Row(QStringLiteral("Data"), page.AddSpin(kLutData, kLutDataSpin));
        lut.Wide(RightAligned({SideButton(page, kLutRead, QStringLiteral("Read")),
                               SideButton(page, kLutWrite, QStringLiteral("Write"))}));
        column.Add(lut);

        Group temperature(page, QStringLiteral("Temperature"));
        ParamComboBox* place = page.AddCombo(
            kTemperatureSensor, {QStringLiteral("Sensor"), QStringLiteral("Sensor Board Bottom"),
                                 QStringLiteral("Interface Board Bottom"), QStringLiteral("FPGA")});
        place->setAccessibleName(QStringLiteral("Temperature Sensor"));
        temperature.Wide(place);
        QLineEdit* reading = page.AddEdit(kTemperature);
        reading->setAccessibleName(QStringLiteral("Temperature"));
        reading->setReadOnly(true);
        reading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* readingRow = new QHBoxLayout;
        readingRow->setSpacing(6);
        readingRow->addWidget(reading, 1);
        readingRow->addSpacing(4);
        readingRow->addWidget(new QLabel(QStringLiteral("C"), &page));
        readingRow->addSpacing(8);
        readingRow->addWidget(SideButton(page, kTemperatureGet, QStringLiteral("Get")));
        temperature.Wide(readingRow);
        column.Add(temperature);
    }
    {
        Column column(columns);
        Group lineSource(page, QStringLiteral("Line Source "));
        lineSource.Row(
            QStringLiteral("Line1"),
            page.AddCombo(kLineSource1, {QStringLiteral("Low"), QStringLiteral("High"),
                                         QStringLiteral("Exposure Active (XEEN)"), QStringLiteral("Lval"),
                                         QStringLiteral("TTL_In"), QStringLiteral("CL_CC1_In")}));
        column.Add(lineSource);

        Group sensor(page, QStringLiteral("Sensor Select"));
        sensor.Field(
            page.AddCombo(kSensorSelect, {QStringLiteral("4K-A type"), QStringLiteral("4k-B type")}));
        column.Add(sensor);

        Group baud(page, QStringLiteral("Baud Rate"));
        baud.Field(page.AddCombo(kCameraBaudRate, {QStringLiteral("9600bps"), QStringLiteral("19200bps"),
                                                   QStringLiteral("38400bps"), QStringLiteral("57600bps"),
                                                   QStringLiteral("115200bps")}));
        column.Add(baud);

        Group filter(page, QString());
        filter.Row(QStringLiteral("Median Filter"), page.AddCombo(kMedianFilter, kOffOn));
        column.Add(filter);
    }
}

void BuildFactoryA(CTabSheetDialog& page) {
    QHBoxLayout* columns = PageColumns(page);
    {
        Column column(columns);
        Group shading(page, QStringLiteral("Shading Correction"));
        shading.Wide(RightAligned(
            {SideButton(page, kFactoryRecalibrateShading, QStringLiteral("Recalibrate Shading"))}));
        column.Add(shading);

        Group pixelGain(page, QStringLiteral("Pixel Gain Correction"));
        pixelGain.Row(QStringLiteral("Correction Mode"),
                      page.AddCombo(kFactoryPixelGainMode, kDisableEnable));
        pixelGain.Wide(RightAligned(
            {SideButton(page, kFactoryRecalibratePixelGain, QStringLiteral("Recalibrate Pixel Gain"))}));
        column.Add(pixelGain);

        Group pixelBlack(page, QStringLiteral("Pixel Black Correction"));
        pixelBlack.Row(QStringLiteral("Correction Mode"),
                       page.AddCombo(kFactoryPixelBlackMode, kDisableEnable));
        pixelBlack.Wide(RightAligned(
            {SideButton(page, kFactoryRecalibratePixelBlack, QStringLiteral("Recalibrate Pixel Black"))}));
        column.Add(pixelBlack);
    }
    {
        Column column(columns);
        Group inGain(page, QStringLiteral("Factory in Gain"));
        inGain.Field(page.AddSpin(kFactoryInGain, kFactoryInGainSpin));
        column.Add(inGain);

        Group bypass(page, QStringLiteral("IP Bypass"));
        bypass.Field(page.AddCombo(kIpBypass, {QStringLiteral("Normal"), QStringLiteral("Bypass")}));
        column.Add(bypass);

        Group gainLevel(page, QStringLiteral("Factory Gain Level"));
        gainLevel.Row(QStringLiteral("4K-A type"), page.AddSpin(kFactoryGain4KA, kFactoryGain4KASpin));
        gainLevel.Row(QStringLiteral("4K-B type"), page.AddSpin(kFactoryGain4KB, kFactoryGain4KBSpin));
        gainLevel.Row(QStringLiteral("8K type"), page.AddSpin(kFactoryGain8K, kFactoryGain8KSpin));
        column.Add(gainLevel);

        Group blackLevel(page, QStringLiteral("Factory Black Level"));
        blackLevel.Row(QStringLiteral("4K-A type"), page.AddSpin(kFactoryBlack4KA, kFactoryBlack4KASpin));
        blackLevel.Row(QStringLiteral("4K-B type"), page.AddSpin(kFactoryBlack4KB, kFactoryBlack4KBSpin));
        blackLevel.Row(QStringLiteral("8K type"), page.AddSpin(kFactoryBlack8K, kFactoryBlack8KSpin));
        column.Add(blackLevel);
    }
    {
        Column column(columns);
        Group xml(page, QStringLiteral("XML Version"));
        auto* fields = new QHBoxLayout;
        fields->setSpacing(4);
        const int digitWidth = page.fontMetrics().horizontalAdvance(QStringLiteral("00")) + 16;
        const int xmlIds[] = {kXmlMajor, kXmlMinor, kXmlRevision};
        for (int i = 0; i < 3; ++i) {
            if (i > 0) fields->addWidget(new QLabel(QStringLiteral("."), &page));
            QLineEdit* digit = page.AddEdit(xmlIds[i]);
            digit->setMaxLength(1);
            digit->setAccessibleName(QStringLiteral("XML Version, part %1").arg(i + 1));
            digit->setAlignment(Qt::AlignCenter);
            digit->setFixedWidth(digitWidth);
            fields->addWidget(digit);
        }
        fields->addStretch(1);
        fields->addSpacing(8);
        fields->addWidget(SideButton(page, kXmlWrite, QStringLiteral("Wirte")));
        fields->addWidget(SideButton(page, kXmlRead, QStringLiteral("Read")));
        xml.Wide(fields);
        column.Add(xml);

        Group boot(page, QString());
        boot.Row(
            QStringLiteral("Boot Area Set"),
            page.AddCombo(kBootAreaSet, {QStringLiteral("Default Area"), QStringLiteral("Update Area")}));
        column.Add(boot);

        Group model(page, QStringLiteral("Camera Model"));
        // The list first, then its button: Tab follows the order the controls are made in.
        ParamComboBox* models = page.AddCombo(
            kCameraModelList, {QStringLiteral("VELA-4K-MONO"), QStringLiteral("VELA-8K-MONO"),
                               QStringLiteral("VELA-4K-MONO2"), QStringLiteral("VELA-8K-MONO2")});
        model.Row(nullptr, models, SideButton(page, kCameraModelSet, QStringLiteral("Set")));
        column.Add(model);

        auto* actions = new QHBoxLayout;
        actions->setSpacing(6);
        actions->addWidget(page.AddButton(kCameraReset, QStringLiteral("Camera Reset")));
        actions->addWidget(page.AddButton(kTerminal, QStringLiteral("Terminal")));
        actions->addWidget(page.AddButton(kStoreAll, QStringLiteral("Store All")));
        column.Add(actions);
    }

    page.HideForever(page.AddButton(kSaveFactoryArea, QStringLiteral("Save Settings into Factory Area")));
}

}  // namespace

bool BuildPageLayout(CTabSheetDialog& page) {
    switch (page.TemplateId()) {
        case kUserAPageTemplate:
            BuildUserA(page);
            return true;
        case kUserBPageTemplate:
            BuildUserB(page);
            return true;
        case kFactoryAPageTemplate:
            BuildFactoryA(page);
            return true;
        default:
            return false;
    }
}

}  // namespace vela
