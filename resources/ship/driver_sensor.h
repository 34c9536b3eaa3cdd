/*
 * Sensor definitions of the R430K family, read by the configuration tool.
 *
 * Form of a definition: "#define", one blank, the name, one TAB, the value.
 * A sensor that needs a code table lists it as SENSOR_<model>_DPI_<dpi> names;
 * the TV3395 and TV3950 count in 50-DPI steps (code 0 = 50 DPI) and need none.
 * Feature lines list the models that have the feature, comma-separated, without
 * blanks.
 */
#ifndef DRIVER_SENSOR_H
#define DRIVER_SENSOR_H

/* TV3395: R430K */
#define SENSOR_TV3395_PRODUCT_ID	0x51
#define SENSOR_TV3395_MIN_DPI	50
#define SENSOR_TV3395_MAX_DPI	26000
#define SENSOR_TV3395_STEP_DPI	50
#define SENSOR_TV3395_MAX_IPS	650
#define SENSOR_TV3395_MAX_ACCEL_G	50

/* TV3950: R430K Pro */
#define SENSOR_TV3950_PRODUCT_ID	0x55
#define SENSOR_TV3950_MIN_DPI	50
#define SENSOR_TV3950_MAX_DPI	30000
#define SENSOR_TV3950_STEP_DPI	50
#define SENSOR_TV3950_MAX_IPS	750
#define SENSOR_TV3950_MAX_ACCEL_G	50

/* Features */
#define SUPPORT_SENSOR_MODE_SEL	TV3395,TV3950
#define SUPPORT_LOD_CAL	TV3395,TV3950
#define SUPPORT_RIPPLE	TV3395,TV3950
#define SUPPORT_FIXLINE	TV3395,TV3950
#define SUPPORT_MOTION_SYNC	TV3395,TV3950
#define SUPPORT_MOUSEPAD_CAL	TV3950

#endif /* DRIVER_SENSOR_H */
