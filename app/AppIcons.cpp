#include "app/AppIcons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

constexpr int kSize = 32;
const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kAccent(46, 109, 180);
const QColor kFolder(222, 176, 64);

void DrawPage(QPainter& p, const QRectF& r) {
    QPainterPath page;
    const qreal fold = r.width() * 0.3;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void DrawTextLines(QPainter& p, const QRectF& r, int lines) {
    p.setPen(QPen(kInk, 1.5));
    for (int i = 0; i < lines; ++i) {
        const qreal y = r.top() + (i + 1) * r.height() / (lines + 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

void DrawGridBox(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(223, 223, 255));
    p.drawRect(r);
    for (int i = 1; i < 3; ++i) {
        const qreal x = r.left() + i * r.width() / 3;
        const qreal y = r.top() + i * r.height() / 3;
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

void DrawLetter(QPainter& p, const QRectF& r, const QString& letter, const QColor& fill) {
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(r);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(int(r.height() * 0.7));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, letter);
}

void Draw(QPainter& p, ToolIcon icon) {
    switch (icon) {
        case ToolIcon::New:
            DrawPage(p, QRectF(7, 3, 18, 26));
            p.setPen(QPen(kAccent, 3));
            p.drawLine(QPointF(22, 19), QPointF(22, 29));
            p.drawLine(QPointF(17, 24), QPointF(27, 24));
            break;
        case ToolIcon::Open: {
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(kFolder.darker(115));
            p.drawRect(QRectF(3, 8, 24, 19));
            p.setBrush(kFolder);
            QPolygonF front;
            front << QPointF(3, 27) << QPointF(8, 14) << QPointF(30, 14) << QPointF(26, 27);
            p.drawPolygon(front);
            break;
        }
        case ToolIcon::Save:
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
            p.setBrush(kPaper);
            p.drawRect(QRectF(9, 4, 14, 9));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(8, 18, 16, 10));
            break;
        case ToolIcon::CopyTable:
            DrawGridBox(p, QRectF(3, 3, 18, 18));
            DrawGridBox(p, QRectF(11, 11, 18, 18));
            break;
        case ToolIcon::Print:
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(kPaper);
            p.drawRect(QRectF(9, 3, 14, 10));
            p.setBrush(QColor(150, 150, 150));
            p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
            p.setBrush(kPaper);
            p.drawRect(QRectF(9, 20, 14, 9));
            break;
        case ToolIcon::About:
            DrawLetter(p, QRectF(4, 4, 24, 24), QStringLiteral("i"), kAccent);
            break;
        case ToolIcon::ContextHelp: {
            QPolygonF arrow;
            arrow << QPointF(3, 3) << QPointF(3, 22) << QPointF(8, 17) << QPointF(12, 25)
                  << QPointF(15, 23) << QPointF(11, 16) << QPointF(17, 16);
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(kPaper);
            p.drawPolygon(arrow);
            DrawLetter(p, QRectF(15, 11, 16, 16), QStringLiteral("?"), kAccent);
            break;
        }
        case ToolIcon::ChangeParameters:
            DrawPage(p, QRectF(4, 3, 18, 26));
            DrawTextLines(p, QRectF(7, 9, 10, 16), 3);
            p.setPen(QPen(QColor(200, 80, 40), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(15, 27), QPointF(28, 12));
            break;
        case ToolIcon::Options:
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(QColor(255, 255, 255));
            p.drawRect(QRectF(3, 5, 26, 22));
            p.setBrush(QColor(223, 223, 255));
            p.drawRect(QRectF(7, 12, 18, 11));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(200, 60, 60));
            p.drawEllipse(QRectF(5, 6, 5, 5));
            p.setBrush(QColor(60, 160, 60));
            p.drawEllipse(QRectF(12, 6, 5, 5));
            p.setBrush(kAccent);
            p.drawEllipse(QRectF(19, 6, 5, 5));
            break;
        case ToolIcon::ExportText:
            DrawPage(p, QRectF(3, 3, 18, 26));
            DrawTextLines(p, QRectF(6, 9, 10, 16), 3);
            p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(17, 21), QPointF(28, 21));
            p.drawLine(QPointF(24, 16), QPointF(29, 21));
            p.drawLine(QPointF(24, 26), QPointF(29, 21));
            break;
    }
}

const char* ThemeName(ToolIcon icon) {
    switch (icon) {
        case ToolIcon::New:
            return "document-new";
        case ToolIcon::Open:
            return "document-open";
        case ToolIcon::Save:
            return "document-save";
        case ToolIcon::CopyTable:
            return "edit-copy";
        case ToolIcon::Print:
            return "document-print";
        case ToolIcon::About:
            return "help-about";
        case ToolIcon::ContextHelp:
            return "help-contextual";
        case ToolIcon::ChangeParameters:
            return "document-properties";
        case ToolIcon::Options:
            return "preferences-desktop";
        case ToolIcon::ExportText:
            return "document-export";
    }
    return "";
}

// Whether the desktop chose an icon theme. Without one Qt searches "hicolor", which holds
// programs' own icons and none of the toolbar's pictures; that search alone took a start
// several milliseconds.
bool HasIconTheme() {
    const QString theme = QIcon::themeName();
    return !theme.isEmpty() && theme != QLatin1String("hicolor");
}

// The installed icon's drawing (data/icons), in lines rather than a font's "$": the same
// picture on the desktop and in our windows, and no bold face to load at start.
void DrawProgramIcon(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(223, 223, 255));
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 8, 8);
    QPainterPath dollar;
    dollar.moveTo(41.5, 21.5);
    dollar.cubicTo(38, 17.5, 25, 17, 23.5, 24.5);
    dollar.cubicTo(22, 32, 41, 31, 40.5, 39.5);
    dollar.cubicTo(40, 47, 27, 47.5, 22.5, 42);
    dollar.moveTo(32, 12.5);
    dollar.lineTo(32, 51.5);
    p.setPen(QPen(kAccent.darker(130), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(dollar);
}

// Draws its picture at whatever size is asked, when it is first shown: the toolbar's
// pictures cost nothing before the window appears and stay sharp on any screen. Each
// size and mode is drawn once.
class DrawnIconEngine final : public QIconEngine {
public:
    using Drawing = std::function<void(QPainter&)>;

    DrawnIconEngine(Drawing draw, int designSize) : m_draw(std::move(draw)), m_design(designSize) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const quint64 key = quint64(quint32(size.width())) << 32 |
                            quint64(quint16(size.height())) << 8 | quint64(mode);
        if (const auto kept = m_kept.constFind(key); kept != m_kept.cend()) return *kept;
        QPixmap drawn(size);
        drawn.fill(Qt::transparent);
        if (!size.isEmpty()) {
            QPainter painter(&drawn);
            painter.setRenderHint(QPainter::Antialiasing);
            const qreal side = std::min(size.width(), size.height());
            painter.translate((size.width() - side) / 2, (size.height() - side) / 2);
            painter.scale(side / m_design, side / m_design);
            m_draw(painter);
        }
        if (mode != QIcon::Normal && mode != QIcon::Active) {
            QStyleOption option;
            option.palette = QApplication::palette();
            drawn = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
        }
        m_kept.insert(key, drawn);
        return drawn;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(m_design, m_design)};
    }
    QIconEngine* clone() const override { return new DrawnIconEngine(m_draw, m_design); }
    QString key() const override { return QStringLiteral("brellow-drawn"); }

private:
    Drawing m_draw;
    int m_design;  // the drawing's own square, scaled to the size asked
    QHash<quint64, QPixmap> m_kept;  // by size and mode
};

}  // namespace

QIcon DrawnToolbarIcon(ToolIcon icon) {
    return QIcon(new DrawnIconEngine([icon](QPainter& p) { Draw(p, icon); }, kSize));
}

QIcon ToolbarIcon(ToolIcon icon) {
    if (HasIconTheme()) {
        const QIcon themed = QIcon::fromTheme(QLatin1String(ThemeName(icon)));
        if (!themed.isNull()) return themed;
    }
    return DrawnToolbarIcon(icon);
}

QIcon ProgramIcon() {
    // Drawn once for every window; kept to the end, as a pixmap may not outlive the
    // application object.
    static const QIcon* const icon = new QIcon(new DrawnIconEngine(DrawProgramIcon, 2 * kSize));
    return *icon;
}
