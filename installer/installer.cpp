#include "installer.h"

#include "accepted_program.h"
#include "install_folder.h"
#include "install_texts.h"
#include "platform.h"
#include "program_path.h"

#include <optional>
#include <utility>

namespace pelmix {

namespace {

const std::string addOnKey = "SOFTWARE\\Quillmark\\VOG";
const std::string installDirValue = "Install_Dir";
const std::string drawingExtension = ".dwg";
const std::string openCommandSubkey = "\\shell\\open\\command";

InstallOutcome failure(std::string problem) {
    return {1, std::move(problem)};
}

} // namespace

InstallOutcome runInstaller() {
    const std::optional<std::string> installDir =
        readRegistryString(Hive::CurrentUser, addOnKey, installDirValue);
    if (!installDir)
        return failure("cannot read HKEY_CURRENT_USER\\" + addOnKey + " value " + installDirValue);
    const std::optional<std::string> folder = installFolderFromValue(*installDir);
    if (!folder)
        return failure("HKEY_CURRENT_USER\\" + addOnKey + " value " + installDirValue +
                       " is empty");

    // From here on the loader stays appended, whatever happens later.
    const std::string loaderPath = loaderFilePath(*folder);
    if (!writeTextFile(loaderPath, loaderLines(*folder), WriteMode::Append))
        return failure("cannot append to " + loaderPath);

    const std::optional<std::string> documentClass =
        readRegistryString(Hive::ClassesRoot, drawingExtension, "");
    if (!documentClass)
        return failure("no file association for HKEY_CLASSES_ROOT\\" + drawingExtension);
    const std::string commandKey = *documentClass + openCommandSubkey;
    const std::optional<std::string> openCommand =
        readRegistryString(Hive::ClassesRoot, commandKey, "");
    if (!openCommand) return failure("no open command at HKEY_CLASSES_ROOT\\" + commandKey);

    const std::string program = programPathFromOpenCommand(*openCommand);
    const std::string quotedProgram = quotedProgramPath(program);
    const bool accepted = isAcceptedProgram(program);

    const std::string scriptPath = scriptFilePath(*folder);
    if (!writeTextFile(scriptPath, startupScript(*folder), WriteMode::Replace))
        return failure("cannot write " + scriptPath);

    if (accepted && askYesNo(installQuestion(quotedProgram), installCaption()))
        startProgram(quotedProgram, startParameters(*folder));
    return {};
}

} // namespace pelmix
