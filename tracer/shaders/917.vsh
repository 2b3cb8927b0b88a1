; Terrain morph: the vertex moved from its coarse position towards its fine one by the morph
; factor, then projected.
; v0 coarse position   v1 texture coordinate   v2 fine position
; c4-c7 world x view x projection (transposed)   c8 (morph factor, height scale, 0, 1)
; Out: t0 the texture coordinate; t1 (morphed position, its height x c8.y)
vs.2.0
dcl_position v0
dcl_texcoord0 v1
dcl_texcoord1 v2
mov r0, v0
add r1.xyz, v2, -v0
mad r0.xyz, r1, c8.x, r0
mov r0.w, c8.w
m4x4 oPos, r0, c4
mov oT0, v1
mul r0.w, r0.y, c8.y
mov oT1, r0
