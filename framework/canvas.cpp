#include "framework/canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include "framework/graphics.h"
#include "framework/graphics_private.h"
#include "framework/picture_private.h"
#include "framework/runtime.h"

namespace fw {

namespace {

class CanvasWidget : public QWidget {
public:
    explicit CanvasWidget(Canvas& owner) : owner_(owner) {}

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Canvas& owner_;
};

}  // namespace

struct Canvas::Private {
    CanvasWidget* widget = nullptr;
    Surface backing;
    std::unique_ptr<fw::Graphics> graphics;
    // While Paint runs, a drawing must not schedule another repaint: that would paint forever.
    bool painting = false;

    // The backing image follows the control's size and its screen's scale, keeping what was
    // drawn where it still fits.
    void FitBacking(std::int32_t width, std::int32_t height) {
        const QSize size(width, height);
        const double scale = widget->devicePixelRatioF();
        if (backing.size == size && backing.scale == scale) {
            return;
        }
        Surface resized = Surface::Make(size, scale);
        if (!resized.image.isNull() && !backing.image.isNull()) {
            QPainter painter(&resized.image);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(QPointF(0, 0), backing.image);
        }
        backing = std::move(resized);
    }
};

void CanvasWidget::paintEvent(QPaintEvent* /*event*/) {
    Canvas::Private& d = owner_.GetPrivate();
    d.painting = true;
    Dispatch([this] {
        if (fw::Graphics* g = owner_.Graphics()) {
            owner_.Event_Paint(*g);
        }
    });
    d.painting = false;
    if (!d.backing.image.isNull()) {
        // At the screen's scale already: each device pixel of the image on one of the screen's.
        QPainter painter(this);
        painter.drawImage(QPointF(0, 0), d.backing.image);
    }
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = event->position().toPoint();
    Dispatch([this, at] { owner_.Event_MouseDown(at.x(), at.y()); });
}

Canvas::Canvas()
    : RectControl(std::make_unique<CanvasWidget>(*this)), d_(std::make_unique<Private>()) {
    d_->widget = static_cast<CanvasWidget*>(Widget());
    auto graphics = std::make_unique<Graphics::Private>();
    graphics->target = &d_->backing;
    graphics->drawn = [d = d_.get()] {
        if (!d->painting) {
            d->widget->update();
        }
    };
    d_->graphics = std::make_unique<fw::Graphics>(std::move(graphics));
    SetAcceptFocus(acceptFocus_);
}

Canvas::~Canvas() = default;

const ClassInfo& Canvas::Class() {
    static const ClassInfo info{"Canvas",
                                &RectControl::Class(),
                                {
                                    Property("AcceptFocus", &Canvas::SetAcceptFocus),
                                    Property("AcceptTabs", &Canvas::AcceptTabs),
                                    Property("EraseBackground", &Canvas::EraseBackground),
                                    Property("UseFocusRing", &Canvas::UseFocusRing),
                                }};
    return info;
}

fw::Graphics* Canvas::Graphics() {
    d_->FitBacking(Width(), Height());
    return d_->backing.image.isNull() ? nullptr : d_->graphics.get();
}

PixelColor Canvas::Pixel(std::int32_t x, std::int32_t y) const {
    return ReadPixel(d_->backing, x, y);
}

void Canvas::SetAcceptFocus(bool value) {
    acceptFocus_ = value;
    d_->widget->setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

}  // namespace fw
