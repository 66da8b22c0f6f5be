#include "app/qt/GeneratorWindow.h"

#include "app/Application.h"
#include "app/frmGenerator.h"
#include "app/qt/CheckGroupBox.h"
#include "app/qt/FormBinder.h"
#include "app/qt/FormVisibility.h"
#include "app/qt/LedWidget.h"
#include "app/qt/LevelMeterPanel.h"
#include "app/qt/LevelSlider.h"
#include "app/qt/ListPictures.h"
#include "app/qt/MenuBinder.h"
#include "app/qt/OwnerDrawnList.h"
#include "app/qt/EventLogWindow.h"
#include "app/qt/RemoteInstrument.h"
#include "app/qt/ReferenceNoiseWindow.h"
#include "app/qt/ResponseWindow.h"
#include "app/qt/WindowKeys.h"

#include <array>

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

/// The controls of one channel, so that both channels share one layout.
struct TQtGeneratorWindow::TChannelControls {
  TGroupBox& Box;
  TCheckBox& Tick;
  TLabel& NoiseLabel;
  TComboBox& WaveForm;
  TLabel& CrestLabel;
  TComboBox& Crest;
  TGroupBox& Filter;
  TComboBox& FilterType;
  TLabel &FZeroLabel, &HzLabel, &GainLabel, &DbLabel, &QLabel;
  TEdit &FZero, &Gain, &Q;
  TGroupBox& Amplitude;
  TTrackBar& Bar;
  TEdit& Level;
  TLabel& DbfsLabel;
  TGroupBox& Modulation;
  TCheckBox& ModulationOn;
  TLabel &FunctionLabel, &PeriodLabel, &SecLabel, &DepthLabel, &PercentLabel, &PhaseLabel;
  TComboBox& Function;
  TEdit &Period, &Depth, &Phase;
};

namespace {

// The longest texts the fields show, so that nothing is cut at any font size:
// what validation writes for a duration, a filter or modulation value, a level.
const QString LongestFieldText = QStringLiteral("33.3333320618");
const QString LongestLevelText = QStringLiteral("-99.99");
const QString LongestRateText = QStringLiteral("fs=888.888kHz");

/// The width at which edit shows text whole, frame and margins included.
int FittingWidth(const QLineEdit& edit, const QString& text) {
  const QMargins margins = edit.textMargins();
  const int frame = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit) : 0;
  // Qt's line edit keeps 2 pixels beside its text and room for the cursor.
  return edit.fontMetrics().horizontalAdvance(text) + margins.left() + margins.right() + 2 * frame + 2 * 2 + 4;
}

QGridLayout* CompactGrid(QWidget* parent) {
  auto* grid = new QGridLayout(parent);
  grid->setContentsMargins(6, 4, 6, 6);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(3);
  return grid;
}

}  // namespace

TQtGeneratorWindow::TQtGeneratorWindow(TfrmGenerator& form, TApplication& application)
    : FForm(form), FApplication(application), FPictures(ListPicturePixmaps()),
      FBinder(new TFormBinder(form, *this, application)) {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(6, 6, 6, 6);
  column->setSpacing(4);
  column->addWidget(CreateTopRow());
  auto* channels = new QHBoxLayout;
  channels->setSpacing(6);
  channels->addWidget(CreateChannel({form.boxLeftAll, form.Lefttick, form.lblNoiseFunctionL, form.WaveFormLeft,
                                     form.lblPeakRMSratioL, form.cboCrestFactorL, form.grpFilterL,
                                     form.cboFilterTypeL1, form.lblFZeroL, form.lblHzL, form.lblGainL, form.lbldBL,
                                     form.lblQL, form.txtFZeroL, form.txtGainL, form.txtQL, form.grpAmplitudeL,
                                     form.barAmplitudeLeft, form.AmplitudeLeft, form.lbldBFSL, form.grpModulationL,
                                     form.ModulationOnLeft, form.lblFunctionL, form.lblPeriodL, form.lblSecL,
                                     form.lblDepthL, form.lblPercentL, form.lblPhaseL, form.ModFunctionLeft,
                                     form.ModPeriodLeftEdit, form.ModDepthLeftEdit, form.ModPhaseLeftEdit}));
  channels->addWidget(CreateChannel({form.boxRightAll, form.RightTick, form.lblNoiseFunctionR, form.WaveFormRight,
                                     form.lblPeakRMSratioR, form.cboCrestFactorR, form.grpFilterR,
                                     form.cboFilterTypeR1, form.lblFZeroR, form.lblHzR, form.lblGainR, form.lbldBR,
                                     form.lblQR, form.txtFZeroR, form.txtGainR, form.txtQR, form.grpAmplitudeR,
                                     form.barAmplitudeRight, form.AmplitudeRight, form.lbldBFSR, form.grpModulationR,
                                     form.ModulationOnRight, form.lblFunctionR, form.lblPeriodR, form.lblSecR,
                                     form.lblDepthR, form.lblPercentR, form.lblPhaseR, form.ModFunctionRight,
                                     form.ModPeriodRightEdit, form.ModDepthRightEdit, form.ModPhaseRightEdit}));
  column->addLayout(channels);
  auto* meterRow = new QHBoxLayout;
  meterRow->addWidget(new TLevelMeterPanel(form.Analysis()), 1);
  auto* dropouts = new QLabel;
  FBinder->BindLabel(form.lblDropouts, *dropouts);
  meterRow->addWidget(dropouts, 0, Qt::AlignBottom);
  FInstrumentStatus = new QLabel;
  meterRow->addWidget(FInstrumentStatus, 0, Qt::AlignBottom);
  column->addLayout(meterRow);
  column->addWidget(CreateMemoryRow());
  column->addWidget(CreateBottomRow());
  setCentralWidget(central);
  BindMenuBar(form.MainMenu1, *menuBar(), *this, application);
  AddInstrumentCommand();
  AddWindowKeys(*new TResponseWindow(form.Analysis(), this),
                {[this] { FApplication.Perform([this] { FForm.ResponseHelpKey(); }); },
                 [this] { FApplication.Perform([this] { FForm.Response1.Click(); }); }});
  new TQtReferenceNoiseWindow(form.ReferenceNoise(), application, form.Analysis(), this);
  new TQtEventLogWindow(form.EventLogWindow(), application, this);
  FollowApplicationTitle();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  // The program ends when the window logic ends it (the close of this window),
  // whatever other windows of it are open; those run no close reactions.
  QGuiApplication::setQuitOnLastWindowClosed(false);
  application.OnTerminate = [] { QCoreApplication::exit(0); };
  // The window logic hides the window when it closes it.
  form.AddObserver([this] {
    if (!FForm.Visible() && isVisible() && !FClosing) {
      FClosing = true;
      close();
    }
  });
}

QLineEdit* TQtGeneratorWindow::Edit(TEdit& edit, const QString& longestText) {
  auto* widget = new QLineEdit;
  widget->setFixedWidth(FittingWidth(*widget, longestText));
  widget->setAlignment(Qt::AlignRight);
  FBinder->BindEdit(edit, *widget);
  return widget;
}

QComboBox* TQtGeneratorWindow::OwnerDrawnCombo(TComboBox& list) {
  auto layout = [this, &list](int32_t index, const TItemRect& rect, int32_t pictureWidth) {
    return FForm.DrawItemLayout(list, index, rect, pictureWidth);
  };
  auto* widget = new TOwnerDrawnComboBox(list, layout, FPictures);
  FBinder->BindComboBox(list, *widget);
  return widget;
}

QComboBox* TQtGeneratorWindow::Combo(TComboBox& list) {
  auto* widget = new QComboBox;
  FBinder->BindComboBox(list, *widget);
  return widget;
}

QWidget* TQtGeneratorWindow::CreateTopRow() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);

  auto* device = new QGroupBox;
  FBinder->BindGroupBox(FForm.grpOutputDevice, *device);
  auto* deviceLayout = CompactGrid(device);
  QComboBox* deviceList = Combo(FForm.WaveDevice);
  // Device names are shown whole: many differ only at their end ("... (hw:1,0)").
  deviceList->setMinimumWidth(200);
  deviceList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  deviceLayout->addWidget(deviceList, 0, 0);
  layout->addWidget(device, 1);

  auto* period = new QGroupBox;
  FBinder->BindGroupBox(FForm.grpPeriod, *period);
  auto* periodLayout = CompactGrid(period);
  periodLayout->addWidget(Edit(FForm.Duration, LongestFieldText), 0, 0);
  auto* unit = new QLabel;
  FBinder->BindLabel(FForm.lblDurationUnit, *unit);
  periodLayout->addWidget(unit, 0, 1);
  auto* loop = new QCheckBox;
  FBinder->BindCheckBox(FForm.Loop, *loop);
  periodLayout->addWidget(loop, 0, 2);
  layout->addWidget(period);

  auto* channels = new QGroupBox;
  FBinder->BindGroupBox(FForm.grpChannels, *channels);
  auto* channelsLayout = CompactGrid(channels);
  channelsLayout->addWidget(OwnerDrawnCombo(FForm.cboChannels), 0, 0);
  auto* asLeft = new QCheckBox;
  FBinder->BindCheckBox(FForm.chkAsLeft, *asLeft);
  channelsLayout->addWidget(asLeft, 0, 1);
  layout->addWidget(channels);
  return row;
}

QWidget* TQtGeneratorWindow::CreateChannel(const TChannelControls& c) {
  auto* box = new QGroupBox;
  FBinder->BindGroupBox(c.Box, *box);
  auto* grid = CompactGrid(box);
  const auto label = [this](TLabel& control) {
    auto* widget = new QLabel;
    FBinder->BindLabel(control, *widget);
    return widget;
  };

  auto* head = new QGridLayout;
  head->setHorizontalSpacing(6);
  auto* tick = new QCheckBox;
  FBinder->BindCheckBox(c.Tick, *tick);
  head->addWidget(tick, 1, 0);
  head->addWidget(label(c.NoiseLabel), 0, 1);
  head->addWidget(OwnerDrawnCombo(c.WaveForm), 1, 1);
  head->addWidget(label(c.CrestLabel), 0, 2);
  head->addWidget(Combo(c.Crest), 1, 2);
  head->setColumnStretch(1, 1);
  grid->addLayout(head, 0, 0, 1, 2);

  auto* filter = new QGroupBox;
  FBinder->BindGroupBox(c.Filter, *filter);
  auto* filterGrid = CompactGrid(filter);
  filterGrid->addWidget(Combo(c.FilterType), 0, 0, 1, 3);
  filterGrid->addWidget(label(c.FZeroLabel), 1, 0);
  filterGrid->addWidget(Edit(c.FZero, LongestFieldText), 1, 1);
  filterGrid->addWidget(label(c.HzLabel), 1, 2);
  filterGrid->addWidget(label(c.GainLabel), 2, 0);
  filterGrid->addWidget(Edit(c.Gain, LongestFieldText), 2, 1);
  filterGrid->addWidget(label(c.DbLabel), 2, 2);
  filterGrid->addWidget(label(c.QLabel), 3, 0);
  filterGrid->addWidget(Edit(c.Q, LongestFieldText), 3, 1);
  grid->addWidget(filter, 1, 0);

  auto* modulation = new TCheckGroupBox;
  FBinder->BindTitledGroup(c.Modulation, modulation->Frame(), modulation->Title(), c.ModulationOn,
                           modulation->TitleCheckBox());
  auto* modGrid = CompactGrid(&modulation->Frame());
  modGrid->addWidget(label(c.FunctionLabel), 0, 0);
  modGrid->addWidget(OwnerDrawnCombo(c.Function), 0, 1, 1, 2);
  modGrid->addWidget(label(c.PeriodLabel), 1, 0);
  modGrid->addWidget(Edit(c.Period, LongestFieldText), 1, 1);
  modGrid->addWidget(label(c.SecLabel), 1, 2);
  modGrid->addWidget(label(c.DepthLabel), 2, 0);
  modGrid->addWidget(Edit(c.Depth, LongestFieldText), 2, 1);
  modGrid->addWidget(label(c.PercentLabel), 2, 2);
  modGrid->addWidget(label(c.PhaseLabel), 3, 0);
  modGrid->addWidget(Edit(c.Phase, LongestFieldText), 3, 1);
  grid->addWidget(modulation, 2, 0);

  auto* amplitude = new QGroupBox;
  FBinder->BindGroupBox(c.Amplitude, *amplitude);
  auto* ampGrid = CompactGrid(amplitude);
  auto* bar = new TLevelSlider;
  FBinder->BindTrackBar(c.Bar, *bar);
  auto* barRow = new QHBoxLayout;
  barRow->setSpacing(2);
  barRow->addStretch(1);
  barRow->addWidget(new TSliderScale(c.Bar, *bar));
  barRow->addWidget(bar);
  barRow->addStretch(1);
  ampGrid->addLayout(barRow, 0, 0, 1, 2);
  ampGrid->addWidget(Edit(c.Level, LongestLevelText), 1, 0);
  ampGrid->addWidget(label(c.DbfsLabel), 1, 1);
  ampGrid->setRowStretch(0, 1);
  grid->addWidget(amplitude, 1, 1, 2, 1);
  return box;
}

QWidget* TQtGeneratorWindow::CreateMemoryRow() {
  auto* memory = new QGroupBox;
  FBinder->BindGroupBox(FForm.grpMemory, *memory);
  auto* layout = new QGridLayout(memory);
  layout->setContentsMargins(6, 4, 6, 6);
  for (int n = 1; n <= 4; ++n) {
    auto* widget = new QPushButton;
    // A long preset name does not widen the window.
    widget->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    widget->setMinimumWidth(widget->fontMetrics().horizontalAdvance(QStringLiteral("Memory 4")) + 24);
    FBinder->BindButton(*std::array{&FForm.Memory1, &FForm.Memory2, &FForm.Memory3, &FForm.Memory4}[n - 1], *widget);
    layout->addWidget(widget, 0, n - 1);
    // The name field lies over its button while a name is edited.
    auto* name = new QLineEdit;
    name->setFrame(false);
    FBinder->BindEdit(*std::array{&FForm.Mem1Edit, &FForm.Mem2Edit, &FForm.Mem3Edit, &FForm.Mem4Edit}[n - 1], *name);
    layout->addWidget(name, 0, n - 1, Qt::AlignCenter);
  }
  return memory;
}

QWidget* TQtGeneratorWindow::CreateBottomRow() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(2, 2, 2, 0);
  layout->setSpacing(6);
  for (TButton* button : {&FForm.btnOFF, &FForm.btnPause, &FForm.btnON}) {
    auto* widget = new QPushButton;
    widget->setMinimumWidth(64);
    FBinder->BindButton(*button, *widget);
    layout->addWidget(widget);
  }
  auto* led = new TLedWidget;
  led->setFixedSize(18, 18);
  FBinder->BindShape(FForm.LED, *led);
  layout->addWidget(led);
  layout->addSpacing(8);
  auto* sync = new QCheckBox;
  FBinder->BindCheckBox(FForm.chkSync, *sync);
  layout->addWidget(sync);
  layout->addSpacing(8);
  auto* rate = new QLabel;
  FBinder->BindLabel(FForm.lblFS, *rate);
  // A change of rate does not change the window's size.
  rate->setFixedWidth(rate->fontMetrics().horizontalAdvance(LongestRateText));
  layout->addWidget(rate);
  layout->addStretch(1);
  auto* credit = new QLabel;
  FBinder->BindLabel(FForm.lblCredit, *credit);
  layout->addWidget(credit);
  return row;
}

TQtGeneratorWindow::~TQtGeneratorWindow() = default;

void TQtGeneratorWindow::StartInstrument(const TScpiOption& option) {
  if (!FInstrument) FInstrument = std::make_unique<TQtRemoteInstrument>(FForm, *this, *FInstrumentStatus);
  FInstrument->Start(option);
}

void TQtGeneratorWindow::AddInstrumentCommand() {
  for (QAction* action : menuBar()->actions()) {
    QMenu* menu = action->menu();
    if (!menu || menu->objectName() != QString::fromStdString(FForm.mnuTools.Name())) continue;
    menu->addSeparator();
    QAction* remote = menu->addAction(tr("Remote &Instrument..."));
    connect(remote, &QAction::triggered, this, [this] {
      if (FInstrument) FInstrument->ShowDialog();
    });
  }
}

void TQtGeneratorWindow::FollowApplicationTitle() {
  // Only this window's title: the desktop would append an application display
  // name to every other window's title.
  const auto follow = [this] { setWindowTitle(QString::fromStdString(FApplication.Title())); };
  follow();
  FApplication.AddObserver(follow);
  FApplication.OnBringToFront = [this] {
    raise();
    activateWindow();
  };
}

void TQtGeneratorWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) CentreOnMouseScreen(*this);
  QMainWindow::showEvent(event);
}

bool TQtGeneratorWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FApplication.Perform([this] { FForm.FormActivate(); });
  return QMainWindow::event(event);
}

void TQtGeneratorWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  // Enter in a preset's name field finishes the name instead of pressing a button.
  const std::array<const TControl*, 4> names{&FForm.Mem1Edit, &FForm.Mem2Edit, &FForm.Mem3Edit, &FForm.Mem4Edit};
  for (int n = 1; enter && n <= 4; ++n) {
    if (FForm.ActiveControl() != names[static_cast<size_t>(n - 1)]) continue;
    FApplication.Perform([this, n] { FForm.Mem1EditKeyPress(n, 13); });
    return;
  }
  if (enter && FBinder->PressEnter()) return;
  QMainWindow::keyPressEvent(event);
}

void TQtGeneratorWindow::closeEvent(QCloseEvent* event) {
  // The window logic decides: it hides the form when the window may go.
  if (!FClosing) {
    FApplication.Perform([this] { FForm.Close(); });
    if (FForm.Visible()) {
      event->ignore();
      return;
    }
  }
  QMainWindow::closeEvent(event);
}
