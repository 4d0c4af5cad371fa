#include "odt_report.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

#include "chart_drawing.h"
#include "chart_svg.h"
#include "version.h"

namespace kelvo {

namespace {

constexpr std::string_view MimeType = "application/vnd.oasis.opendocument.text";

constexpr std::string_view Namespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:xlink=\"http://www.w3.org/1999/xlink\""
    " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
    " office:version=\"1.2\"";

// The styles of the body. Paragraph styles: Title, Section, TableTitle (kept
// with its table), Label, Number (right-aligned), Heading (bold), Note;
// text style Strong; cell styles Cell and OutOfRange; table style Grid.
constexpr std::string_view AutomaticStyles = R"(<office:automatic-styles>
<style:style style:name="Title" style:family="paragraph"><style:paragraph-properties fo:margin-bottom="0.3cm"/><style:text-properties fo:font-size="16pt" fo:font-weight="bold"/></style:style>
<style:style style:name="Section" style:family="paragraph"><style:paragraph-properties fo:margin-top="0.5cm" fo:margin-bottom="0.2cm" fo:keep-with-next="always"/><style:text-properties fo:font-size="13pt" fo:font-weight="bold"/></style:style>
<style:style style:name="TableTitle" style:family="paragraph"><style:paragraph-properties fo:margin-top="0.3cm" fo:margin-bottom="0.1cm" fo:keep-with-next="always"/><style:text-properties fo:font-size="10pt" fo:font-weight="bold"/></style:style>
<style:style style:name="Label" style:family="paragraph"><style:text-properties fo:font-size="9pt"/></style:style>
<style:style style:name="Number" style:family="paragraph"><style:paragraph-properties fo:text-align="end"/><style:text-properties fo:font-size="9pt"/></style:style>
<style:style style:name="Note" style:family="paragraph"><style:paragraph-properties fo:margin-top="0.1cm"/><style:text-properties fo:font-size="9pt" fo:font-style="italic"/></style:style>
<style:style style:name="Strong" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
<style:style style:name="Grid" style:family="table"><style:table-properties table:align="left"/></style:style>
<style:style style:name="Cell" style:family="table-cell"><style:table-cell-properties fo:padding="0.05cm" fo:border="0.5pt solid #000000"/></style:style>
<style:style style:name="OutOfRange" style:family="table-cell"><style:table-cell-properties fo:padding="0.05cm" fo:border="0.5pt solid #000000" fo:background-color="#ffc0c0"/></style:style>
</office:automatic-styles>
)";

void AppendUtf8(std::string& out, unsigned char c) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

// A zip archive in memory, written by libzip.
class ZipBuilder {
public:
    ZipBuilder() {
        zip_error_t error;
        zip_error_init(&error);
        m_source = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (m_source != nullptr) {
            // The archive's bytes stay in the source after zip_close.
            zip_source_keep(m_source);
            m_archive = zip_open_from_source(m_source, ZIP_TRUNCATE, &error);
        }
        const std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        if (m_archive == nullptr) {
            if (m_source != nullptr) zip_source_free(m_source);
            throw std::runtime_error("the OpenDocument package could not be made: " + text);
        }
    }
    ~ZipBuilder() {
        if (m_archive != nullptr) zip_discard(m_archive);
        zip_source_free(m_source);
    }
    ZipBuilder(const ZipBuilder&) = delete;
    ZipBuilder& operator=(const ZipBuilder&) = delete;

    // `data` must live until Finish.
    void Add(const char* name, std::string_view data, bool compressed) {
        zip_source_t* source = zip_source_buffer(m_archive, data.data(), data.size(), 0);
        const zip_int64_t index =
            source == nullptr ? -1 : zip_file_add(m_archive, name, source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            if (source != nullptr) zip_source_free(source);
            Fail();
        }
        // Fast deflation: the XML is repetitive, and most of the time would
        // otherwise go into squeezing out the last few per cent.
        if (zip_set_file_compression(m_archive, static_cast<zip_uint64_t>(index),
                                     compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE, compressed ? 1 : 0) != 0)
            Fail();
    }

    std::string Finish() {
        if (zip_close(m_archive) != 0) Fail();
        m_archive = nullptr;
        std::string bytes;
        if (zip_source_open(m_source) != 0 || zip_source_seek(m_source, 0, SEEK_END) != 0) FailSource();
        const zip_int64_t size = zip_source_tell(m_source);
        if (size < 0 || zip_source_seek(m_source, 0, SEEK_SET) != 0) FailSource();
        bytes.resize(static_cast<std::size_t>(size));
        if (zip_source_read(m_source, bytes.data(), static_cast<zip_uint64_t>(size)) != size) FailSource();
        zip_source_close(m_source);
        return bytes;
    }

private:
    [[noreturn]] void Fail() {
        throw std::runtime_error(std::string("the OpenDocument package could not be made: ") +
                                 zip_strerror(m_archive));
    }
    [[noreturn]] void FailSource() {
        throw std::runtime_error(std::string("the OpenDocument package could not be read back: ") +
                                 zip_error_strerror(zip_source_error(m_source)));
    }
    zip_source_t* m_source = nullptr;
    zip_t* m_archive = nullptr;
};

}  // namespace

void AppendOdfText(std::string& out, std::string_view latin1) {
    std::size_t spaces = 0;
    const auto flushSpaces = [&](bool atStart) {
        // A single space between words is itself; the others, and one at the
        // start, are counted spaces, which readers do not collapse.
        if (spaces == 0) return;
        std::size_t counted = spaces;
        if (!atStart) {
            out += ' ';
            --counted;
        }
        if (counted == 1) out += "<text:s/>";
        if (counted > 1) out += "<text:s text:c=\"" + std::to_string(counted) + "\"/>";
        spaces = 0;
    };
    bool atStart = true;
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        const auto c = static_cast<unsigned char>(latin1[i]);
        if (c == ' ') {
            ++spaces;
            continue;
        }
        flushSpaces(atStart);
        atStart = false;
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\t': out += "<text:tab/>"; break;
            default:
                if (c < 0x20 || (c >= 0x7F && c < 0xA0))
                    out += "\xEF\xBF\xBD";  // no control character in XML text
                else if (c >= 0x80)
                    AppendUtf8(out, c);
                else
                    out += static_cast<char>(c);
        }
    }
    // Trailing spaces are kept too.
    if (spaces == 1) out += "<text:s/>";
    if (spaces > 1) out += "<text:s text:c=\"" + std::to_string(spaces) + "\"/>";
}

OdtDriver::OdtDriver() {
    m_content.reserve(1 << 20);
}

void OdtDriver::Paragraph(const char* style, std::string_view latin1) {
    m_content += "<text:p text:style-name=\"";
    m_content += style;
    m_content += "\">";
    AppendOdfText(m_content, latin1);
    m_content += "</text:p>\n";
}

void OdtDriver::BeginDocument() {
    m_content += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content";
    m_content += Namespaces;
    m_content += ">\n";
    m_content += AutomaticStyles;
    m_content += "<office:body><office:text>\n<text:h text:style-name=\"Title\" text:outline-level=\"1\">";
    AppendOdfText(m_content, ProgramTitle);
    m_content += "</text:h>\n";
}

void OdtDriver::EndDocument() {
    m_content += "</office:text></office:body></office:document-content>\n";
}

void OdtDriver::BeginSection(const SectionInfo& section) {
    m_section = section;
    m_content += "<text:h text:style-name=\"Section\" text:outline-level=\"2\">";
    AppendOdfText(m_content, section.title);
    m_content += "</text:h>\n";
}

void OdtDriver::EndSection(const SectionInfo&) {}

void OdtDriver::Table(const OutputTable& table) {
    const int rows = table.Rows();
    if (rows == 0 || table.columns == 0) return;
    Paragraph("TableTitle", table.title);
    m_content += "<table:table table:name=\"Table" + std::to_string(++m_tables) + "\" table:style-name=\"Grid\">";
    m_content += "<table:table-column table:number-columns-repeated=\"" + std::to_string(table.columns) + "\"/>\n";
    std::vector<bool> numbers(static_cast<std::size_t>(table.columns));
    for (int c = 0; c < table.columns; ++c) numbers[static_cast<std::size_t>(c)] = IsNumberColumn(table, c);
    for (int r = 0; r < rows; ++r) {
        if (r == 0 && table.headingRows > 0) m_content += "<table:table-header-rows>";
        m_content += "<table:table-row>";
        for (int c = 0; c < table.columns; ++c) {
            const OutputCell& cell = table.At(c, r);
            m_content += cell.role == CellRole::OutOfRange
                             ? "<table:table-cell table:style-name=\"OutOfRange\" office:value-type=\"string\">"
                             : "<table:table-cell table:style-name=\"Cell\" office:value-type=\"string\">";
            m_content += numbers[static_cast<std::size_t>(c)] ? "<text:p text:style-name=\"Number\">"
                                                              : "<text:p text:style-name=\"Label\">";
            const bool bold = cell.role == CellRole::SignificantPercent;
            if (bold) m_content += "<text:span text:style-name=\"Strong\">";
            if (IsNumber(cell.role)) {
                // Escaped too: a p-value may read "< 0.0001".
                m_number.clear();
                AppendCellText(m_number, cell);
                AppendOdfText(m_content, m_number);
            } else {
                AppendOdfText(m_content, cell.text);
            }
            if (bold) m_content += "</text:span>";
            m_content += "</text:p></table:table-cell>";
        }
        m_content += "</table:table-row>";
        if (r + 1 == table.headingRows) m_content += "</table:table-header-rows>";
        m_content += '\n';
    }
    m_content += "</table:table>\n";
    if (!m_section.note.empty()) Paragraph("Note", m_section.note);
}

void OdtDriver::Figure(const OutputFigure& figure) {
    m_pictures.push_back(ChartSvg(figure.chart));
    const std::string name = "chart" + std::to_string(m_pictures.size());
    // 16 cm wide, keeping the chart's proportions.
    const double width = 16;
    const double height = width * ChartHeight(figure.chart) / ChartWidth;
    m_content += "<text:p text:style-name=\"Label\"><draw:frame draw:name=\"" + name +
                 "\" text:anchor-type=\"as-char\" svg:width=\"16cm\" svg:height=\"" + std::to_string(height) +
                 "cm\"><draw:image xlink:href=\"Pictures/" + name +
                 ".svg\" xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/>";
    if (!figure.title.empty()) {
        m_content += "<svg:title>";
        AppendOdfText(m_content, figure.title);
        m_content += "</svg:title>";
    }
    m_content += "</draw:frame></text:p>\n";
}

std::string OdtDriver::Package() const {
    std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
        "manifest:version=\"1.2\">\n"
        " <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" manifest:media-type=\"";
    manifest += MimeType;
    manifest +=
        "\"/>\n"
        " <manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>\n"
        " <manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>\n";
    std::vector<std::string> names;
    for (std::size_t p = 0; p < m_pictures.size(); ++p) {
        names.push_back("Pictures/chart" + std::to_string(p + 1) + ".svg");
        manifest += " <manifest:file-entry manifest:full-path=\"" + names.back() +
                    "\" manifest:media-type=\"image/svg+xml\"/>\n";
    }
    manifest += "</manifest:manifest>\n";
    std::string styles = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles";
    styles += Namespaces;
    styles +=
        ">\n<office:styles><style:default-style style:family=\"paragraph\"><style:text-properties "
        "fo:font-size=\"10pt\"/></style:default-style></office:styles></office:document-styles>\n";

    ZipBuilder zip;
    // A reader knows the package by its first entry, stored as it is.
    zip.Add("mimetype", MimeType, false);
    zip.Add("content.xml", m_content, true);
    zip.Add("styles.xml", styles, true);
    for (std::size_t p = 0; p < m_pictures.size(); ++p) zip.Add(names[p].c_str(), m_pictures[p], true);
    zip.Add("META-INF/manifest.xml", manifest, true);
    return zip.Finish();
}

}  // namespace kelvo
