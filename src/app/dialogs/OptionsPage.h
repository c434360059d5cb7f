#pragma once
// A page of the editor's options dialog. Every page edits the dialog's
// working copy of a scheme's settings: Load shows the copy, Commit writes
// what the page holds in its own widgets back into it (or refuses with a
// reason shown to the user, keeping the dialog open).

#include <QString>
#include <QWidget>

#include <string>
#include <string_view>

namespace torvane {
class TTE_Settings;
}

namespace torvane::app {

class TOptionsPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void Load(const TTE_Settings& settings) = 0;
    virtual bool Commit(TTE_Settings& settings, QString& error) = 0;

signals:
    // The working copy changed in a way the preview shows.
    void changed();
};

// Scheme texts are Windows-1250 bytes; the widgets show Unicode.
QString OptionsText(std::string_view bytes);
// Characters without a Windows-1250 byte become "?".
std::string OptionsBytes(const QString& text);

} // namespace torvane::app
