#include "platform/ui/controls.h"

#include "platform/ui/selector.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

namespace {

// Sets the label's picture when the label is first shown, then goes.
class FirstShowDrawing : public QObject {
public:
    FirstShowDrawing(QLabel *label, Controls::Drawing drawing) : QObject(label), m_drawing(std::move(drawing))
    {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            static_cast<QLabel *>(watched)->setPixmap(m_drawing());
            deleteLater();
        }
        return false;
    }

private:
    Controls::Drawing m_drawing;
};

} // namespace

void Controls::drawOnFirstShow(QLabel *label, Drawing drawing)
{
    if (label->isVisible())
        label->setPixmap(drawing());
    else
        new FirstShowDrawing(label, std::move(drawing));
}

void Controls::installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QFont Controls::font(const QString &family, int pixelHeight, bool bold, bool underline)
{
    QFont f(family);
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QFont Controls::defaultFont() { return font(QStringLiteral("MS Sans Serif"), 11); }

QFont Controls::arial(int pixelHeight, bool bold, bool underline)
{
    return font(QStringLiteral("Arial"), pixelHeight, bold, underline);
}

void Controls::setOuterGeometry(QWidget *window, int left, int top, int width, int height)
{
    window->move(left, top);
    window->resize(width - 2 * FrameWidth, height - TitleHeight - 2 * FrameWidth);
}

QLabel *Controls::label(QWidget *parent, const QString &name, const QString &text, QPoint at, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

QPushButton *Controls::button(QWidget *parent, const QString &name, const QString &text, const QRect &frame,
                              bool enabled)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(frame);
    button->setEnabled(enabled);
    return button;
}

Selector *Controls::selector(QWidget *parent, const QString &name, const QString &prompt, QPoint at, int width,
                             const QStringList &items, bool enabled)
{
    auto *box = new Selector(parent);
    box->setObjectName(name);
    box->setGeometry(at.x(), at.y(), width, 21);
    box->addItems(items);
    box->setText(prompt);
    box->setEnabled(enabled);
    return box;
}

QLabel *Controls::picture(QWidget *parent, const QString &name, const QRect &frame, Drawing drawing)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(frame);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    drawOnFirstShow(label, std::move(drawing));
    return label;
}

void Controls::fillTable(QTableWidget *table, const QStringList &header, const QList<QStringList> &rows)
{
    table->setColumnCount(int(header.size()));
    table->setHorizontalHeaderLabels(header);
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
}

QTableWidget *Controls::readOnlyList(QWidget *parent, const QString &name)
{
    auto *list = new QTableWidget(parent);
    list->setObjectName(name);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->verticalHeader()->hide();
    return list;
}

QLabel *Controls::wrappedLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}
