#pragma once

#include "DataSetStore.h"
#include "PlotView.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <cstdint>

namespace vexa {

// The plot's texts and view window as a data file carries them. The fields
// are named as in the plot record, so PlotFileHeaderOf / ApplyPlotFileHeader
// copy to and from it.
struct PlotFileHeader {
    QString Title;
    QString XAxisLabel;
    QString YAxisLabel;
    QString Info1;
    QString Info2;
    QString Info3;
    PlotView view;
};

template <typename Plot> PlotFileHeader PlotFileHeaderOf(const Plot& p)
{
    return {p.Title, p.XAxisLabel, p.YAxisLabel, p.Info1, p.Info2, p.Info3, p.view};
}

template <typename Plot> void ApplyPlotFileHeader(const PlotFileHeader& h, Plot& p)
{
    p.Title = h.Title;
    p.XAxisLabel = h.XAxisLabel;
    p.YAxisLabel = h.YAxisLabel;
    p.Info1 = h.Info1;
    p.Info2 = h.Info2;
    p.Info3 = h.Info3;
    p.view = h.view;
}

inline constexpr char PlotFileMarker[] = "Vexa Plot";
// One load adds at most this many sets, so a file of many tiny sets
// cannot flood the store and its name lists.
inline constexpr int MaxSetsPerLoad = 256;
// Larger files are refused unread.
inline constexpr qint64 MaxDataFileBytes = 512LL * 1024 * 1024;

// Writing. Every line ends in CR LF.

// Appends set k's block: name, axis labels, notes, window line, samples,
// climb marks.
void WriteSetBlock(QByteArray& out, const DataSetStore& store, int k, const PlotFileHeader& plot);
// A single-set file of set k.
QByteArray SetFileBytes(const DataSetStore& store, int k, const PlotFileHeader& plot);
// A plot file: the texts and window, then every set with its colours and styles.
QByteArray PlotFileBytes(const DataSetStore& store, const PlotFileHeader& plot);

struct SaveResult {
    bool ok = false;
    QString error; // for the message box when not ok
};

// Both write to a temporary file and replace path only once all of it is
// written, so a failed save leaves an existing file as it was.
SaveResult SaveActiveSet(const QString& path, const DataSetStore& store, int k,
                         const PlotFileHeader& plot);
SaveResult SavePlot(const QString& path, const DataSetStore& store, const PlotFileHeader& plot);

// "Alt_yyyy-mm-dd_N.csv", N the last download selection plus one.
QString DefaultSetFileName(const QDate& today, int lastDownloadSelection);
// "Plot_yyyy-mm-dd.csv".
QString DefaultPlotFileName(const QDate& today);

// Reading.

// The lines of a data file in memory. CR LF and LF alone both end a line;
// the last line needs no line end.
class DataFileLines {
public:
    explicit DataFileLines(QByteArrayView bytes);

    // The next line without its line end; false at the end of the file.
    bool Next(QByteArrayView& line);
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    qsizetype Position() const { return pos_; }
    void Seek(qsizetype position) { pos_ = position; }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

struct SetBlockResult {
    DataSetRecord* set = nullptr; // the new set's altitude record
    int skippedLines = 0;         // sample and "#C" lines that did not parse or fit
    bool overflow = false;        // a sample line beyond capacity ended the reading
};

// Reads one set block into a new set of the store (named from the file, or
// by the store when the block has no header). Stops before a "!" line, at
// the end of the file, or at a sample line beyond the set's capacity.
SetBlockResult ReadSetBlock(DataFileLines& in, DataSetStore& store);

struct LoadResult {
    int setsAdded = 0;
    int firstSet = 0;      // the store position of the first set added
    bool plotFile = false; // the header's texts and window were replaced
    int skippedLines = 0;
    bool stoppedAtCapacity = false; // a set held more samples than fit
    bool stoppedAtSetLimit = false; // the file held more than MaxSetsPerLoad sets
    QString error;                  // nothing was loaded; for the message box
    QString warning;                // loaded, but not everything; empty when all went well

    bool ok() const { return error.isEmpty(); }
};

// Appends the sets of a single-set or plot file to the store; a plot file
// also replaces the texts and window in plot. A window whose maximum is not
// above its minimum, or not finite, leaves that axis as it was. A file of
// which not one line reads as data (a picture, a script, a letter) is
// refused: no set is made and plot stays as it was. fileName is how the
// messages name the file.
LoadResult LoadDataBytes(QByteArrayView bytes, DataSetStore& store, PlotFileHeader& plot,
                         int maxSets = MaxSetsPerLoad, const QString& fileName = {});
LoadResult LoadDataFile(const QString& path, DataSetStore& store, PlotFileHeader& plot);

// A digest of what a data file keeps of a set: name, notes, samples with
// their peak marks, trigger points and climb marks. Equal digests mean
// nothing a save would write has changed.
std::uint64_t SavedContentDigest(const DataSetRecord& set);

} // namespace vexa
