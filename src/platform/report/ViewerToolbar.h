#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace report {

struct PreviewTool {
    int id = 0;         // the standard tool (StandardTool) or, for added tools, 1000 + their order
    QString caption;
    QString toolTip;
    bool visible = true;
    bool enabled = true;
    bool separator = false;
    friend bool operator==(const PreviewTool&, const PreviewTool&) = default;
};

// The tools of the preview toolbar, by index. The first 21 are the standard
// tools below; tools added by the program follow them.
//
//   0 table of contents   7 separator         14 separator
//   1 separator            8 single page       15 previous page
//   2 print                9 multiple pages    16 next page
//   3 separator           10 separator         17 page number box
//   4 copy                11 zoom out          18 separator
//   5 separator           12 zoom in           19 back
//   6 find                13 zoom list         20 forward
enum class StandardTool {
    TableOfContents = 0,
    Separator1 = 1,
    Print = 2,
    Separator3 = 3,
    Copy = 4,
    Separator5 = 5,
    Find = 6,
    Separator7 = 7,
    SinglePage = 8,
    MultiplePages = 9,
    Separator10 = 10,
    ZoomOut = 11,
    ZoomIn = 12,
    ZoomList = 13,
    Separator14 = 14,
    PreviousPage = 15,
    NextPage = 16,
    PageNumber = 17,
    Separator18 = 18,
    Back = 19,
    Forward = 20,
};
constexpr int kStandardToolCount = 21;

// What the preview window shows, kept with the report (no widgets here): the
// program sets it up before the preview opens.
//
// The zoom list: 0 "100%", 1 page width, 2 whole page, then "50%", "75%",
// "150%", "200%", "400%". Entries 1 and 2 fit the page; the others are scales.
class ViewerToolbar {
public:
    ViewerToolbar();

    int count() const { return static_cast<int>(m_tools.size()); }
    // Throws core::Error for an index outside the tools.
    PreviewTool& tool(int index);
    const PreviewTool& tool(int index) const;
    // Adds a tool at the end; returns its index.
    int addTool(const QString& caption, const QString& toolTip = {});

    const QStringList& zoomCaptions() const { return m_zoomCaptions; }
    void setZoomCaption(int index, const QString& caption); // throws core::Error outside the list
    // The scale of a zoom entry (1.0 = 100%); 0 for the two fitting entries.
    static double zoomScale(int index);
    static constexpr int kZoomPageWidth = 1;
    static constexpr int kZoomWholePage = 2;

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

    friend bool operator==(const ViewerToolbar&, const ViewerToolbar&) = default;

private:
    std::vector<PreviewTool> m_tools;
    QStringList m_zoomCaptions;
    bool m_visible = true;
};

} // namespace report
