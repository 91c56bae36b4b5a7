#include "transport/UsbChannelSetup.h"

namespace dialvane {

std::vector<std::string> SupportedModels(const ProgramSettings& settings) {
    std::vector<std::string> models;
    for (const auto* list : {&settings.printerModels, &settings.shortModelNames}) {
        for (const std::string& model : *list) {
            if (!model.empty()) {
                models.push_back(model);
            }
        }
    }
    return models;
}

ChannelLibrarySetup UsbChannelSetupFor(const ProgramSettings& settings,
                                       const std::string& programFolder,
                                       const std::string& printer) {
    ChannelLibrarySetup setup;
    setup.libraryFolder = ChannelLibraryFolder(programFolder);
    setup.models = SupportedModels(settings);
    if (!printer.empty()) {
        setup.listPrinters = [models = setup.models, printer] {
            for (const UsbPrinter& found : ListUsbPrinters(models)) {
                if (found.name == printer) {
                    return std::vector<UsbPrinter>{found};
                }
            }
            return std::vector<UsbPrinter>{{printer, printer, models.empty() ? "" : models[0]}};
        };
    }
    return setup;
}

}  // namespace dialvane
