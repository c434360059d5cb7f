#pragma once
// TColorButton: a swatch of a scheme colour (0x00BBGGRR, or a system colour
// with the high bit set) that opens the platform colour dialog when pressed.

#include <QPushButton>

#include <cstdint>
#include <functional>
#include <optional>

namespace torvane::app {

class TColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit TColorButton(QWidget* parent = nullptr);

    int32_t Color() const noexcept { return color_; }
    // Shows the colour without telling anyone.
    void SetColor(int32_t color);

    // Asks the user for a colour, starting at the current one; nothing when
    // cancelled. The platform colour dialog unless replaced (tests).
    using Picker = std::function<std::optional<QColor>(const QColor& start, QWidget* parent)>;
    static void SetPicker(Picker picker);

    static QColor ToQColor(int32_t color);
    static int32_t FromQColor(const QColor& color);

signals:
    void colorPicked(int32_t color);

private:
    void Pick();

    int32_t color_ = 0;
};

} // namespace torvane::app
