; A vertex placed at its texture coordinate: (u, v) as clip-space x and y, z and w from c0; the
; position passed on as texture coordinate 0.
; c0 (-, -, z, w)
; In: v0 position   v1 texture coordinate (u, v)
vs.2.0
dcl_position v0
dcl_texcoord0 v1
mov oPos.xy, v1
mov oPos.zw, c0
mov oT0, v0
