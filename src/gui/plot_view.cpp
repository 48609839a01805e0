#include "gui/plot_view.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>

namespace velarix {

ScaledImage::ScaledImage(QWidget* parent) : QWidget(parent) {
    setMinimumSize(200, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ScaledImage::setImage(const QPixmap& image) {
    image_ = image;
    update();
}

void ScaledImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (image_.isNull()) return;
    const QPixmap scaled = image_.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawPixmap((width() - scaled.width()) / 2, (height() - scaled.height()) / 2, scaled);
}

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget(this);
    list_->setObjectName("plotList");
    list_->setToolTip("Double click: open in the image viewer");
    list_->setMinimumWidth(170);
    list_->setMaximumWidth(260);
    image_ = new ScaledImage(this);
    image_->setObjectName("plotImage");
    layout->addWidget(list_);
    layout->addWidget(image_, 1);
    connect(list_, &QListWidget::currentRowChanged, this, &PlotView::showPlot);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        emit openRequested(plots_.value(list_->row(item)));
    });
}

void PlotView::showProducts(const QStringList& paths) {
    clear();
    for (const QString& path : paths) {
        if (!path.endsWith(".png", Qt::CaseInsensitive)) continue;
        plots_ << path;
        list_->addItem(QFileInfo(path).fileName());
    }
    if (!plots_.isEmpty()) list_->setCurrentRow(0);
}

void PlotView::clear() {
    plots_.clear();
    list_->clear();
    image_->setImage(QPixmap());
}

void PlotView::showPlot(int row) {
    image_->setImage(row >= 0 && row < plots_.size() ? QPixmap(plots_[row]) : QPixmap());
}

}  // namespace velarix
