// The self-extracting archive component: recognises the archive inside a self-extracting
// program and proposes the name of a plain archive file for it. Extractors read such
// programs directly from StartOffset, so this component only checks names and talks to the
// user, through the host's message boxes.
#pragma once

#include <string>

#include "ArcMain.h"

namespace orvello::archive {

class TUnSFX : public TZipCommon {
  public:
    TUnSFX() = default;

    // The self-extracting program. Assigning detects the archive inside it and proposes
    // OutFilename: the program's folder, its file name up to the first ".", and the
    // extension of the archive type (".ZIP", ".ARJ", ...). A missing file, a file that is no
    // archive or a type without a plain-archive extension is refused with a warning box and
    // clears both names.
    void SetArchiveFile(const std::string& path) override;

    // The plain archive to write. Assigning checks the name: an empty one (or one without a
    // file-name part) restores the proposal; a name without a folder goes into the program's
    // folder; a folder that does not exist is created when the user agrees.
    const std::string& OutFilename() const { return outFilename_; }
    void SetOutFilename(const std::string& name);

    // Published for the host's use; these two properties never fire it.
    TOnFileExists OnFileExists;

  private:
    void Warning(const std::string& text);
    void Information(const std::string& text);
    bool Ask(const std::string& text);
    void ClearNames();

    std::string outFilename_;
};

}  // namespace orvello::archive
