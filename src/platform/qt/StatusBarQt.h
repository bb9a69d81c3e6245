#pragma once
// A bar of sunken panels placed by its parent: the one-panel hint line above the tool bar
// (with the colour readout right of it when that is shown), and the status bar with its
// four panels and a size grip.
#include <xcb/xcb.h>
#include <QAbstractNativeEventFilter>
#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "mainwindow/StatusPanels.h"
#include "platform/qt/TextCells.h"
#include "platform/qt/XcbWindowTarget.h"

namespace ocu::qt {

class StatusBarQt : public QWidget, public QAbstractNativeEventFilter {
public:
    // Widths at 96 dpi; the last panel runs to the bar's end. An invalid colour: the system's face.
    StatusBarQt(QWidget* parent, std::vector<int> panelWidths, QColor background, bool sizeGrip);

    // A panel whose text does not fit grows to it and stays that wide.
    void SetText(int panel, const QString& text);
    QString Text(int panel) const;
    int PanelCount() const { return panels_.Count(); }
    // Makes a panel show a small square of a colour (none: no square) before its text.
    void SetSwatchText(int panel, std::optional<QColor> color, const QString& text);
    // Panels of these widths from now on; the texts of those that remain stay.
    void SetPanels(std::vector<int> panelWidths);
    ~StatusBarQt() override;
    // Where changed digits go to the screen past the toolkit (none: through the toolkit).
    void PutThrough(XcbWindowTarget* target);

    // An expose of the window the digits were put into: the toolkit shows what it painted
    // last there, and the panels are painted again.
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void LayOut();
    int GripSide() const;
    QRect PanelRect(int panel) const;
    QRect TextBox(int panel) const;
    TextCells::Look LookOf(const QRect& box) const;
    bool PutDigits(int panel);
    // Where a panel's line was painted last, in screen pixels of the window that holds it,
    // while that still holds: the digits are then put there.
    void Place(int panel, QPoint boxTopLeft);
    void Unplace();
    void Relay();
    bool AsWide(const QString& a, const QString& b);

    std::vector<int> designWidths_;
    StatusPanels panels_;
    std::vector<QString> texts_;
    std::vector<TextCells> cells_;  // per panel
    std::vector<std::optional<QPoint>> placed_;  // per panel
    xcb_window_t placedWindow_ = 0;
    XcbWindowTarget* target_ = nullptr;
    QColor background_;
    bool sizeGrip_;
    int swatchPanel_ = -1;
    std::optional<QColor> swatchColor_;
    // Whether the font's ten digits are all as wide, for the font it was found for.
    std::optional<QFont> digitsFont_;
    bool digitsEven_ = false;
};

}  // namespace ocu::qt
