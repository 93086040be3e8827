// The glyph resources are compiled from the generated bitmaps by qt_add_resources; this file
// only gives the library a translation unit of its own.
