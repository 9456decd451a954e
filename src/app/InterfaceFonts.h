#pragma once

// Chooses the interface font once through fontconfig, before any window exists.
//
// Two costs are avoided with thousands of fonts installed: without a desktop theme the
// interface font is the alias "Sans Serif", whose resolution walks every installed font; and
// Chinese captions in a face without Chinese make the toolkit sort every installed font to
// find a fallback, once per face. A face that holds both Latin and Chinese needs neither. The
// preview line gets the same faces for the characters a previewed font lacks.
void applyInterfaceFonts();
