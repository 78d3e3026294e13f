#include "framework/deferred_icon_style.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QWidget>

#include <optional>

namespace fw {

namespace {

// Stands for the style's icon until the icon is first needed, then answers with it.
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(QStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
        : style_(style), which_(which), widget_(const_cast<QWidget*>(widget)) {}

    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        // The rectangle is already the icon's actual size, so centring it changes nothing.
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Icon().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    // The style's icon is one of Qt's own images, which is never null; asking must not read it.
    bool isNull() override { return icon_ && icon_->isNull(); }

private:
    const QIcon& Icon() {
        if (!icon_) {
            icon_ = style_ ? style_->standardIcon(which_, nullptr, widget_) : QIcon();
        }
        return *icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    QPointer<QWidget> widget_;  // only read through
    std::optional<QIcon> icon_;
};

class DeferredIconStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (which != SP_ToolBarHorizontalExtensionButton || option != nullptr) {
            return QProxyStyle::standardIcon(which, option, widget);
        }
        return QIcon(new DeferredIconEngine(baseStyle(), which, widget));
    }
};

}  // namespace

void UseDeferredExtensionIcon() {
    // The proxy takes the style QApplication chose (the platform's, or the one asked for) as its
    // base, and the application takes the proxy.
    QApplication::setStyle(new DeferredIconStyle(QApplication::style()));
}

}  // namespace fw
