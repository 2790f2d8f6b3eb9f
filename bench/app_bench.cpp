// Window benchmark, run by bench/run-app.sh (never by the test suite):
//  1. adding a corpus through the window's own path (TFormMain::AddPaths:
//     folder walk, loading, rows in batches, progress dialog) against one
//     velloran-report --json pass over the same folder, alternating, with
//     medians and their ratio;
//  2. sorting 100 000 rows by Title with the view attached;
//  3. the resident size of the window holding 100 000 rows.
//
//   velloran-app-bench CORPUS VELLORAN_REPORT [RUNS]

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "app/tracklist_model.h"
#include "toolkit/program_info.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double Spread(const std::vector<double>& v) {
  auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  return *hi - *lo;
}

// Resident set size of this process in MiB, from /proc/self/status.
double ResidentMiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kb = 0;
      status >> kb;
      return kb / 1024.0;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

double TimeJsonPass(const QString& report, const QString& corpus) {
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  QElapsedTimer timer;
  timer.start();
  process.start(report, {QStringLiteral("--json"), corpus});
  process.waitForFinished(-1);
  return timer.nsecsElapsed() / 1e9;
}

double TimeWindowAdd(const QString& corpus, int* rows) {
  TFormMain window;
  window.show();
  QApplication::processEvents();
  QElapsedTimer timer;
  timer.start();
  window.AddPaths({corpus});
  QApplication::processEvents();
  double seconds = timer.nsecsElapsed() / 1e9;
  *rows = window.Model()->rowCount();
  return seconds;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s CORPUS VELLORAN_REPORT [RUNS]\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetMessageNotifier([](const std::string& m) { std::fprintf(stderr, "message: %s\n", m.c_str()); });
  const QString corpus = QString::fromLocal8Bit(argv[1]);
  const QString report = QString::fromLocal8Bit(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

  // 1. Adding through the window against the --json pass, alternating so
  // both see the same page cache. One warm-up of each first.
  int rows = 0;
  TimeJsonPass(report, corpus);
  TimeWindowAdd(corpus, &rows);
  std::vector<double> json, window;
  for (int r = 0; r < runs; ++r) {
    json.push_back(TimeJsonPass(report, corpus));
    window.push_back(TimeWindowAdd(corpus, &rows));
  }
  std::printf("add %d files: window median %.3f s (spread %.3f), --json median %.3f s (spread %.3f), ratio %.2f\n",
              rows, Median(window), Spread(window), Median(json), Spread(json), Median(window) / Median(json));

  // 2. and 3. 100 000 rows: the corpus's rows repeated, with titles made
  // distinct and shuffled so the sort has real work.
  double before = ResidentMiB();
  TFormMain form;
  form.AddPaths({corpus});
  std::vector<TMyNodeData> base;
  for (int r = 0; r < form.Model()->rowCount(); ++r) base.push_back(form.Model()->Row(r));
  form.Model()->ClearList();
  if (base.empty()) {
    std::fprintf(stderr, "no rows in the corpus\n");
    return 1;
  }
  std::vector<TMyNodeData> many;
  many.reserve(100000);
  std::mt19937 random(12345);
  for (size_t i = 0; many.size() < 100000; ++i) {
    TMyNodeData row = base[i % base.size()];
    row.Title.append(1, ' ').append(std::to_string(random() % 100000));
    many.push_back(std::move(row));
  }
  form.show();
  form.Model()->AppendRows(many);
  QApplication::processEvents();
  std::printf("resident size with %d rows: %.1f MiB (%.1f MiB before the window)\n", form.Model()->rowCount(),
              ResidentMiB(), before);

  std::vector<double> sorts;
  for (int r = 0; r < runs; ++r) {
    std::shuffle(many.begin(), many.end(), random);
    form.Model()->ClearList();
    form.Model()->AppendRows(many);
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    form.Model()->SortRows(colTitle, Qt::AscendingOrder);
    QApplication::processEvents();  // the view's relayout and repaint
    sorts.push_back(timer.nsecsElapsed() / 1e9);
  }
  std::printf("sort %d rows by Title: median %.3f s (spread %.3f)\n", form.Model()->rowCount(), Median(sorts),
              Spread(sorts));
  return 0;
}
