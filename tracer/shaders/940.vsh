; Screen quad: the clip-space position and texture coordinate 0 passed through.
; In: v0 position (x, y, z, w) in clip space, v1 texture coordinate (u, v)
vs.2.0
dcl_position v0
dcl_texcoord0 v1
mov oPos, v0
mov oT0.xy, v1
