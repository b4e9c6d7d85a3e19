// Captions, tool tips and fonts of a window from the caption numbers its controls carry.
//
// A control's caption number is its "Tag" property and its tool-tip number its "ToolTipText"
// property, both texts; a window's own "Tag" names its title. Controls whose Qt class does not
// say what kind of control they are carry a "ControlType" property ("PictureBox", "Image").
#pragma once

#include <QFont>
#include <QString>

class QObject;
class QWidget;

namespace kelvara {
class National;
}

namespace kelvara::qt {

// The fonts the string table names, as a Linux desktop has them: the Japanese and Western user
// interface fonts and the fixed-width font of the number rows. A named font that is not installed
// becomes the first installed one of its kind; a name this program does not know stays as it is.
// An installed family is named outright rather than through Qt's substitution table: a font that
// carries substitutes has its whole fallback list sorted by fontconfig as soon as it is used,
// which costs more than the rest of the window's first paint.
QFont GameFont(const QString& family);
inline constexpr const char* kFixedFont = "FixedSys";

void SetTag(QObject* control, const QString& tag, const QString& toolTip = {});

// Window caption from its Tag; window font from caption texts 1 and 2, onto every control but
// those marked "KeepFont"; captions and tool tips by the kind of each control. A Tag or tool tip
// that holds no number leaves that property as it was; a number the table lacks gives "".
void ApplyNational(QWidget& window, const National& texts);

}  // namespace kelvara::qt
