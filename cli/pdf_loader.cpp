#include "pdf_loader.h"

#include <dlfcn.h>

#include "io_error.h"
#include "version.h"

namespace kelvo::cli {

std::filesystem::path PdfModulePath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (program.parent_path() / KELVO_PDF_MODULE_RELATIVE).lexically_normal();
}

void WritePdfReport(const std::vector<SectionKind>& sections, const InputSide& tables, const ModelResults& results,
                    const std::filesystem::path& path, reports::PdfPaper paper) {
    const std::filesystem::path module = PdfModulePath();
    // Kept loaded to the end: Qt does not expect to be unloaded.
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) throw IoError(std::string("PDF output is not available: ") + dlerror());
    auto* write = reinterpret_cast<reports::PdfModuleFunction*>(dlsym(handle, reports::PdfModuleSymbol));
    if (write == nullptr) throw IoError("PDF output is not available: " + module.string() + " is not KELVO's PDF module");
    const std::string target = path.string();
    const reports::PdfModuleRequest request{KelvoVersion, &sections, &tables, &results, target.c_str(), paper};
    std::string message;
    if (write(request, message) != 0) throw IoError(message);
}

}  // namespace kelvo::cli
