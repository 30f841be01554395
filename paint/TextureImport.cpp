#include "TextureImport.h"

#include "PickedTexture.h"
#include "TextureInstaller.h"

namespace TextureImport {

PaintResult bringIntoFolder(const QString &file, const QString &folder)
{
    const PickedTexture picked = examinePickedTexture(folder, file);
    switch (picked.kind) {
    case PickedTexture::Refused:
        return PaintResult::failure(file, picked.reason);
    case PickedTexture::InAircraftFolder:
        return PaintResult::success(folder + picked.fileName);
    case PickedTexture::Elsewhere:
        break;
    }
    QString existing;
    switch (TextureInstaller::placementOf(folder, picked.fileName, picked.data, &existing)) {
    case TextureInstaller::Placement::SameContent:
        return PaintResult::success(folder + existing);
    case TextureInstaller::Placement::Clash:
        return PaintResult::failure(folder + existing,
                                    QStringLiteral("A different file of this name is already in the aircraft's folder; "
                                                   "rename the new texture and add it again."));
    case TextureInstaller::Placement::Free:
        break;
    }
    QString reason;
    if (!TextureInstaller::writeNewTexture(folder, picked.fileName, picked.data, &reason))
        return PaintResult::failure(folder + picked.fileName,
                                    QStringLiteral("The texture could not be copied into the aircraft's folder: %1").arg(reason));
    return PaintResult::success(folder + picked.fileName);
}

} // namespace TextureImport
