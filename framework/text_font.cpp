#include "framework/qt_text.h"
#include "framework/text_font_private.h"

namespace fw {

QFont MakeFont(const TextStyle& style, const QFont& platform, float defaultSize) {
    QFont font = platform;
    if (!style.font.empty() && style.font != "System") {
        font.setFamily(FromBytes(style.font));
    }
    font.setPointSizeF(style.size > 0 ? style.size : defaultSize);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

}  // namespace fw
