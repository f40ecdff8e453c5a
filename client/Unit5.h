#pragma once
// The value picker: four fixed lists (countries and genres, in Russian and in English) whose entries a
// double-click appends to the matching row of the editor window that was activated last (CurEditForm).

#include <QWidget>

class QListWidget;
class QTabWidget;

class TForm5 : public QWidget {
public:
    explicit TForm5(QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;
    QListWidget* ListBox1 = nullptr;  // "Страна", into row 3
    QListWidget* ListBox2 = nullptr;  // "Жанры", into row 4
    QListWidget* ListBox3 = nullptr;  // "Страна (англ.)", into row 9
    QListWidget* ListBox4 = nullptr;  // "Жанры (англ.)", into row 10

    void ListBox1DblClick();
    void ListBox2DblClick();
    void ListBox3DblClick();
    void ListBox4DblClick();

private:
    // Appends the list box's selected entry to `row` of the target editor, joined by ", " to a value there.
    void Pick(const QListWidget& list, int row);
};

// What a double-click on an editor row of the add-video or record form opens: the value picker, on the page whose
// entries go into that row; nothing for a row without a page.
void ShowPickerFor(int row);
