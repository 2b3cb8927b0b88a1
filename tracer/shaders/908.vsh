; Depth and occlusion: the position only, drawn without a pixel program.
; c0 mesh centre offset (w 0)   c4-c7 world x view x projection, transposed
vs.2.0
dcl_position v0
sub r0, v0, c0
m4x4 oPos, r0, c4
mov oD0, c0
