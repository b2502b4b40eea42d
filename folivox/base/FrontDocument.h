#pragma once

#include <layra/IDocument.h>

/** The document in front of the active context; null when there is none. */
InterfacePtr<IDocument> QueryFrontDocument();
