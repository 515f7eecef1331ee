// Measures what a screen reader costs the text box on long texts: writing
// the names into it (what a scan does), the reader's first question (which
// works out where each line starts, once per text), and then single
// questions: the line at an offset, and a hundred characters from one.
//
//   build/test/bench/reader_bench              # 100,000 and 1,000,000 lines
//   build/test/bench/reader_bench 5000         # other sizes
//
// Prints one line per size:
//   reader lines=N write_ms=… first_query_ms=… first_to_write=… line_us=… piece_us=…
// Writing and the first question are medians of five runs; the single
// questions are medians of a thousand, at offsets spread through the text.
#include "toolkit/application.h"
#include "toolkit/form.h"

#include "timing.h"

#include <QAccessible>
#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using timing::median;
using timing::milliseconds;

void bench(toolkit::Object& box, QWidget& shown, int lines)
{
    std::string text;
    for (int line = 0; line < lines; ++line)
        text += "\rphoto_" + std::to_string(line) + (line % 3 ? ".jpg" : " \xC3\xA9t\xC3\xA9.png");

    std::vector<double> write, first;
    QAccessibleTextInterface* reader = nullptr;
    for (int run = 0; run < 5; ++run) {
        box.set(toolkit::prop::Text, std::string());
        write.push_back(milliseconds([&] { box.set(toolkit::prop::Text, text); }));
        QWidget* view = shown.findChild<QWidget*>("txtBox")->focusProxy();
        reader = QAccessible::queryAccessibleInterface(view)->textInterface();
        first.push_back(milliseconds([&] {
            if (reader->characterCount() <= lines)
                std::exit(1);
        }));
    }

    std::mt19937 random(7);
    std::uniform_int_distribution<int> anywhere(0, reader->characterCount() - 1);
    std::vector<double> line_us, piece_us;
    for (int question = 0; question < 1000; ++question) {
        int offset = anywhere(random);
        int start = 0, end = 0;
        line_us.push_back(
            1000 * milliseconds([&] {
                if (reader->textAtOffset(offset, QAccessible::LineBoundary, &start, &end).isEmpty())
                    std::exit(1);
            }));
        piece_us.push_back(1000 * milliseconds([&] {
                               if (reader->text(offset, offset + 100).isEmpty())
                                   std::exit(1);
                           }));
    }
    std::printf("reader lines=%d write_ms=%.1f first_query_ms=%.1f first_to_write=%.2f "
                "line_us=%.1f piece_us=%.1f\n",
                lines, median(write), median(first), median(first) / median(write), median(line_us),
                median(piece_us));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<int> sizes = timing::sizes_from(argc, argv, {100000, 1000000});

    int qt_argc = 1;
    toolkit::Application application(qt_argc, argv, "Tobrel", "bench");
    toolkit::Form form{"frmReader", "Reader", 4800, 3270};
    toolkit::Object& box =
        form.add_control({toolkit::ControlKind::TextBox, "txtBox", 0, 0, 4800, 3270, 0, ""});
    form.show();
    QWidget* shown = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmReader")
            shown = top;
    for (int lines : sizes)
        bench(box, *shown, lines);
}
