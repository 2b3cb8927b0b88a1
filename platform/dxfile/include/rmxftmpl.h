#pragma once
// The standard template block: the retained-mode templates (Header, Vector, Coords2d,
// Matrix4x4, ColorRGBA, ColorRGB, IndexedColor, Boolean, Boolean2d, MaterialWrap,
// TextureFilename, Material, MeshFace, MeshFaceWraps, MeshTextureCoords, MeshMaterialList,
// MeshNormals, MeshVertexColors, Mesh, FrameTransformMatrix, Frame, FloatKeys, TimedFloatKeys,
// AnimationKey, AnimationOptions, Animation, AnimationSet, InlineData, Url, ProgressiveMesh, Guid,
// StringProperty, PropertyBag, ExternalVisual, RightHanded) in the text ".x" format, written
// from their published declarations. Registered with IDirectXFile::RegisterTemplates so that
// files using them without declaring them can be read.
#include <win32/types.h>

extern const char D3DRM_XTEMPLATES[];
extern const DWORD D3DRM_XTEMPLATE_BYTES;
