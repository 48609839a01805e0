#pragma once
// The plots of the day just processed: their names in a list, the chosen one drawn
// scaled to the space it has (aspect kept), and a double click opens it in the desktop's
// image viewer.
#include <QPixmap>
#include <QStringList>
#include <QWidget>

class QListWidget;
class QListWidgetItem;

namespace velarix {

class ScaledImage : public QWidget {
public:
    explicit ScaledImage(QWidget* parent = nullptr);
    void setImage(const QPixmap& image);
    const QPixmap& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap image_;
};

class PlotView : public QWidget {
    Q_OBJECT
public:
    explicit PlotView(QWidget* parent = nullptr);

    // Lists the PNG files among `paths` (other products are left out) and shows the first.
    void showProducts(const QStringList& paths);
    void clear();
    QStringList plots() const { return plots_; }
    const ScaledImage* imageView() const { return image_; }

signals:
    // A plot was double-clicked: the window hands it to the desktop.
    void openRequested(const QString& path);

private:
    void showPlot(int row);

    QListWidget* list_;
    ScaledImage* image_;
    QStringList plots_;
};

}  // namespace velarix
