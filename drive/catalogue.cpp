#include "drive/catalogue.h"

#include "common/hex.h"

#include <QCoreApplication>
#include <QStringList>

#include <iterator>

namespace kv {

namespace {

// A row of the catalogue or an entry of the group list: what comes before the
// name (the code and four hyphens, or the group number and a space), and the
// name, which the interface shows in its language (context "kv::Catalogue").
struct Entry {
    const char* prefix;  // ASCII
    const char* name;    // UTF-8

    QString Text() const { return QLatin1String(prefix) + QString::fromUtf8(name); }
    QString Translated() const
    {
        return QLatin1String(prefix) + QCoreApplication::translate("kv::Catalogue", name);
    }
};

// The drive's parameters, group by group in the order of the group list, each
// group in ascending code order: code, four hyphens, name. One row names a
// range of the fieldbus group (5102-5126) and is separated by a tab.
const Entry kRows[] = {
    {"9901----", QT_TRANSLATE_NOOP("kv::Catalogue", "语言")},
    {"9902----", QT_TRANSLATE_NOOP("kv::Catalogue", "应用宏")},
    {"9905----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机额定电压")},
    {"9906----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机额定电流")},
    {"9907----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机额定频率")},
    {"9908----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机额定转速")},
    {"9909----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机额定功率")},
    {"9915----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机功率因数")},
    {"0101----", QT_TRANSLATE_NOOP("kv::Catalogue", "转速与方向")},
    {"0102----", QT_TRANSLATE_NOOP("kv::Catalogue", "转速")},
    {"0103----", QT_TRANSLATE_NOOP("kv::Catalogue", "输出频率")},
    {"0104----", QT_TRANSLATE_NOOP("kv::Catalogue", "电流")},
    {"0105----", QT_TRANSLATE_NOOP("kv::Catalogue", "转矩")},
    {"0106----", QT_TRANSLATE_NOOP("kv::Catalogue", "功率")},
    {"0107----", QT_TRANSLATE_NOOP("kv::Catalogue", "直流电压")},
    {"0108----", QT_TRANSLATE_NOOP("kv::Catalogue", "输出电压")},
    {"0109----", QT_TRANSLATE_NOOP("kv::Catalogue", "传动温度")},
    {"0110----", QT_TRANSLATE_NOOP("kv::Catalogue", "外部给定1")},
    {"0111----", QT_TRANSLATE_NOOP("kv::Catalogue", "外部给定2")},
    {"0112----", QT_TRANSLATE_NOOP("kv::Catalogue", "控制方式")},
    {"0113----", QT_TRANSLATE_NOOP("kv::Catalogue", "运行时间")},
    {"0114----", QT_TRANSLATE_NOOP("kv::Catalogue", "千瓦时计数器")},
    {"0115----", QT_TRANSLATE_NOOP("kv::Catalogue", "调节器输出")},
    {"0118----", QT_TRANSLATE_NOOP("kv::Catalogue", "DI 1-3状态")},
    {"0119----", QT_TRANSLATE_NOOP("kv::Catalogue", "DI 4-6状态")},
    {"0120----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI1")},
    {"0121----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI2")},
    {"0122----", QT_TRANSLATE_NOOP("kv::Catalogue", "RO 1-3状态")},
    {"0123----", QT_TRANSLATE_NOOP("kv::Catalogue", "RO 4-6状态")},
    {"0124----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO1")},
    {"0125----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO2")},
    {"0126----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID1 输出")},
    {"0127----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID2 输出")},
    {"0128----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID1设定值")},
    {"0129----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID2设定值")},
    {"0130----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID1反馈值")},
    {"0131----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID2反馈值")},
    {"0132----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID1偏差值")},
    {"0133----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID2偏差值")},
    {"0134----", QT_TRANSLATE_NOOP("kv::Catalogue", "通讯字")},
    {"0135----", QT_TRANSLATE_NOOP("kv::Catalogue", "通讯数据1")},
    {"0136----", QT_TRANSLATE_NOOP("kv::Catalogue", "通讯数据2")},
    {"0137----", QT_TRANSLATE_NOOP("kv::Catalogue", "过程变量1")},
    {"0138----", QT_TRANSLATE_NOOP("kv::Catalogue", "过程变量2")},
    {"0139----", QT_TRANSLATE_NOOP("kv::Catalogue", "过程变量3")},
    {"0140----", QT_TRANSLATE_NOOP("kv::Catalogue", "运行时间")},
    {"0141----", QT_TRANSLATE_NOOP("kv::Catalogue", "兆瓦时计数器")},
    {"0142----", QT_TRANSLATE_NOOP("kv::Catalogue", "旋转计数器")},
    {"0143----", QT_TRANSLATE_NOOP("kv::Catalogue", "通电时间（日）")},
    {"0144----", QT_TRANSLATE_NOOP("kv::Catalogue", "通电时间（嘀嗒）")},
    {"0145----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机温度")},
    {"0149----", QT_TRANSLATE_NOOP("kv::Catalogue", "超越模式激活")},
    {"0150----", QT_TRANSLATE_NOOP("kv::Catalogue", "控制板温度")},
    {"0151----", QT_TRANSLATE_NOOP("kv::Catalogue", "输入千瓦时")},
    {"0152----", QT_TRANSLATE_NOOP("kv::Catalogue", "输入兆瓦时")},
    {"0158----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID通讯值1")},
    {"0159----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID通讯值2")},
    {"0174----", QT_TRANSLATE_NOOP("kv::Catalogue", "节能千瓦时")},
    {"0175----", QT_TRANSLATE_NOOP("kv::Catalogue", "节能兆瓦时")},
    {"0176----", QT_TRANSLATE_NOOP("kv::Catalogue", "节省投资额1")},
    {"0177----", QT_TRANSLATE_NOOP("kv::Catalogue", "节省投资额2")},
    {"0178----", QT_TRANSLATE_NOOP("kv::Catalogue", "CO2减排量")},
    {"0401----", QT_TRANSLATE_NOOP("kv::Catalogue", "最后故障")},
    {"0402----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时间1")},
    {"0403----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时间2")},
    {"0404----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时转速")},
    {"0405----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时频率")},
    {"0406----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时电压")},
    {"0407----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时电流")},
    {"0408----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时转矩")},
    {"0409----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时状态")},
    {"0410----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时DI 1-3")},
    {"0411----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障时DI 4-6")},
    {"0412----", QT_TRANSLATE_NOOP("kv::Catalogue", "历史故障1")},
    {"0413----", QT_TRANSLATE_NOOP("kv::Catalogue", "历史故障2")},
    {"1001----", QT_TRANSLATE_NOOP("kv::Catalogue", "外部1命令")},
    {"1002----", QT_TRANSLATE_NOOP("kv::Catalogue", "外部2命令")},
    {"1003----", QT_TRANSLATE_NOOP("kv::Catalogue", "转向")},
    {"1101----", QT_TRANSLATE_NOOP("kv::Catalogue", "控制盘给定")},
    {"1102----", QT_TRANSLATE_NOOP("kv::Catalogue", "外部控制选择")},
    {"1103----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值1选择")},
    {"1104----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值1下限")},
    {"1105----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值1上限")},
    {"1106----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值2选择")},
    {"1107----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值2下限")},
    {"1108----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值2上限")},
    {"1201----", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速选择")},
    {"1202----", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速1")},
    {"1203----", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速2")},
    {"1204----", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速3")},
    {"1205----", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速4")},
    {"1206----", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速5")},
    {"1207----", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速6")},
    {"1208----", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速7")},
    {"1301----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI1下限")},
    {"1302----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI1上限")},
    {"1303----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI1滤波时间")},
    {"1304----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI2下限")},
    {"1305----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI2上限")},
    {"1306----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI2滤波时间")},
    {"1401----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器输出1")},
    {"1402----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器输出2")},
    {"1403----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器输出3")},
    {"1404----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器1通延时")},
    {"1405----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器1断延时")},
    {"1406----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器2通延时")},
    {"1407----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器2断延时")},
    {"1408----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器3通延时")},
    {"1409----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器3断延时")},
    {"1410----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器输出4")},
    {"1411----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器输出5")},
    {"1412----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器输出6")},
    {"1413----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器4通延时")},
    {"1414----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器4断延时")},
    {"1415----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器5通延时")},
    {"1416----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器5断延时")},
    {"1417----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器6通延时")},
    {"1418----", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器6断延时")},
    {"1501----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO1赋值")},
    {"1502----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO1赋值下限")},
    {"1503----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO1赋值上限")},
    {"1504----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO1下限")},
    {"1505----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO1上限")},
    {"1506----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO1滤波时间")},
    {"1507----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO2赋值")},
    {"1508----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO2赋值下限")},
    {"1509----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO2赋值上限")},
    {"1510----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO2下限")},
    {"1511----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO2上限")},
    {"1512----", QT_TRANSLATE_NOOP("kv::Catalogue", "AO2滤波时间")},
    {"1601----", QT_TRANSLATE_NOOP("kv::Catalogue", "运行允许")},
    {"1602----", QT_TRANSLATE_NOOP("kv::Catalogue", "参数锁定")},
    {"1603----", QT_TRANSLATE_NOOP("kv::Catalogue", "解锁密码")},
    {"1604----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障复位选择")},
    {"1605----", QT_TRANSLATE_NOOP("kv::Catalogue", "用户参数切换")},
    {"1606----", QT_TRANSLATE_NOOP("kv::Catalogue", "本地锁定")},
    {"1607----", QT_TRANSLATE_NOOP("kv::Catalogue", "参数存储")},
    {"1608----", QT_TRANSLATE_NOOP("kv::Catalogue", "起动允许1")},
    {"1609----", QT_TRANSLATE_NOOP("kv::Catalogue", "起动允许2")},
    {"1610----", QT_TRANSLATE_NOOP("kv::Catalogue", "显示报警")},
    {"1701----", QT_TRANSLATE_NOOP("kv::Catalogue", "超越模式选择")},
    {"1702----", QT_TRANSLATE_NOOP("kv::Catalogue", "超越模式运行频率")},
    {"1704----", QT_TRANSLATE_NOOP("kv::Catalogue", "超越模式密码")},
    {"1705----", QT_TRANSLATE_NOOP("kv::Catalogue", "超越模式使能")},
    {"1706----", QT_TRANSLATE_NOOP("kv::Catalogue", "超越模式方向")},
    {"1707----", QT_TRANSLATE_NOOP("kv::Catalogue", "超越模式给定")},
    {"2003----", QT_TRANSLATE_NOOP("kv::Catalogue", "最大电流")},
    {"2005----", QT_TRANSLATE_NOOP("kv::Catalogue", "过压控制")},
    {"2006----", QT_TRANSLATE_NOOP("kv::Catalogue", "欠压控制")},
    {"2007----", QT_TRANSLATE_NOOP("kv::Catalogue", "最小频率")},
    {"2008----", QT_TRANSLATE_NOOP("kv::Catalogue", "最大频率")},
    {"2101----", QT_TRANSLATE_NOOP("kv::Catalogue", "起动方式")},
    {"2102----", QT_TRANSLATE_NOOP("kv::Catalogue", "停车方式")},
    {"2103----", QT_TRANSLATE_NOOP("kv::Catalogue", "直流磁化时间")},
    {"2104----", QT_TRANSLATE_NOOP("kv::Catalogue", "直流抱闸控制")},
    {"2106----", QT_TRANSLATE_NOOP("kv::Catalogue", "直流抱闸电流")},
    {"2107----", QT_TRANSLATE_NOOP("kv::Catalogue", "直流制动时间")},
    {"2108----", QT_TRANSLATE_NOOP("kv::Catalogue", "起动禁止")},
    {"2109----", QT_TRANSLATE_NOOP("kv::Catalogue", "急停选择")},
    {"2110----", QT_TRANSLATE_NOOP("kv::Catalogue", "转矩提升电流")},
    {"2113----", QT_TRANSLATE_NOOP("kv::Catalogue", "启动延时")},
    {"2201----", QT_TRANSLATE_NOOP("kv::Catalogue", "加减速曲线选择")},
    {"2202----", QT_TRANSLATE_NOOP("kv::Catalogue", "加速时间1")},
    {"2203----", QT_TRANSLATE_NOOP("kv::Catalogue", "减速时间1")},
    {"2204----", QT_TRANSLATE_NOOP("kv::Catalogue", "速度曲线形状1")},
    {"2205----", QT_TRANSLATE_NOOP("kv::Catalogue", "加速时间2")},
    {"2206----", QT_TRANSLATE_NOOP("kv::Catalogue", "减速时间2")},
    {"2207----", QT_TRANSLATE_NOOP("kv::Catalogue", "速度曲线形状2")},
    {"2208----", QT_TRANSLATE_NOOP("kv::Catalogue", "急停减速时间")},
    {"2209----", QT_TRANSLATE_NOOP("kv::Catalogue", "积分器输入置0")},
    {"2501----", QT_TRANSLATE_NOOP("kv::Catalogue", "危险频率选择")},
    {"2502----", QT_TRANSLATE_NOOP("kv::Catalogue", "危险频率1低限")},
    {"2503----", QT_TRANSLATE_NOOP("kv::Catalogue", "危险频率1高限")},
    {"2504----", QT_TRANSLATE_NOOP("kv::Catalogue", "危险频率2低限")},
    {"2505----", QT_TRANSLATE_NOOP("kv::Catalogue", "危险频率2高限")},
    {"2506----", QT_TRANSLATE_NOOP("kv::Catalogue", "危险频率3低限")},
    {"2507----", QT_TRANSLATE_NOOP("kv::Catalogue", "危险频率3高限")},
    {"2601----", QT_TRANSLATE_NOOP("kv::Catalogue", "允许磁通最优化")},
    {"2602----", QT_TRANSLATE_NOOP("kv::Catalogue", "磁通制动")},
    {"2603----", QT_TRANSLATE_NOOP("kv::Catalogue", "IR补偿电压")},
    {"2604----", QT_TRANSLATE_NOOP("kv::Catalogue", "IR补偿电频率")},
    {"2605----", QT_TRANSLATE_NOOP("kv::Catalogue", "压频比曲线")},
    {"2606----", QT_TRANSLATE_NOOP("kv::Catalogue", "开关频率")},
    {"2607----", QT_TRANSLATE_NOOP("kv::Catalogue", "开关频率控制")},
    {"2608----", QT_TRANSLATE_NOOP("kv::Catalogue", "滑差补偿")},
    {"2609----", QT_TRANSLATE_NOOP("kv::Catalogue", "噪音过滤")},
    {"2610----", QT_TRANSLATE_NOOP("kv::Catalogue", "自定义U1")},
    {"2611----", QT_TRANSLATE_NOOP("kv::Catalogue", "自定义F1")},
    {"2612----", QT_TRANSLATE_NOOP("kv::Catalogue", "自定义U2")},
    {"2613----", QT_TRANSLATE_NOOP("kv::Catalogue", "自定义F2")},
    {"2614----", QT_TRANSLATE_NOOP("kv::Catalogue", "自定义U3")},
    {"2615----", QT_TRANSLATE_NOOP("kv::Catalogue", "自定义F3")},
    {"2616----", QT_TRANSLATE_NOOP("kv::Catalogue", "自定义U4")},
    {"2617----", QT_TRANSLATE_NOOP("kv::Catalogue", "自定义F4")},
    {"2618----", QT_TRANSLATE_NOOP("kv::Catalogue", "最高电压")},
    {"2619----", QT_TRANSLATE_NOOP("kv::Catalogue", "直流稳压器")},
    {"3001----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI小于最小设定值")},
    {"3002----", QT_TRANSLATE_NOOP("kv::Catalogue", "控制盘丢失")},
    {"3003----", QT_TRANSLATE_NOOP("kv::Catalogue", "外部故障1")},
    {"3004----", QT_TRANSLATE_NOOP("kv::Catalogue", "外部故障2")},
    {"3005----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机温度保护")},
    {"3006----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机温升时间")},
    {"3007----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机负载曲线")},
    {"3008----", QT_TRANSLATE_NOOP("kv::Catalogue", "零速负载")},
    {"3009----", QT_TRANSLATE_NOOP("kv::Catalogue", "负载折点")},
    {"3010----", QT_TRANSLATE_NOOP("kv::Catalogue", "堵转功能")},
    {"3011----", QT_TRANSLATE_NOOP("kv::Catalogue", "堵转频率")},
    {"3012----", QT_TRANSLATE_NOOP("kv::Catalogue", "堵转时间")},
    {"3017----", QT_TRANSLATE_NOOP("kv::Catalogue", "接地故障")},
    {"3018----", QT_TRANSLATE_NOOP("kv::Catalogue", "通讯故障功能")},
    {"3019----", QT_TRANSLATE_NOOP("kv::Catalogue", "通讯故障时间")},
    {"3021----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI1故障极限")},
    {"3022----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI2故障极限")},
    {"3023----", QT_TRANSLATE_NOOP("kv::Catalogue", "接线故障")},
    {"3024----", QT_TRANSLATE_NOOP("kv::Catalogue", "控制板温度故障")},
    {"3101----", QT_TRANSLATE_NOOP("kv::Catalogue", "复位次数")},
    {"3102----", QT_TRANSLATE_NOOP("kv::Catalogue", "复位时间")},
    {"3103----", QT_TRANSLATE_NOOP("kv::Catalogue", "延时时间")},
    {"3104----", QT_TRANSLATE_NOOP("kv::Catalogue", "过流复位")},
    {"3105----", QT_TRANSLATE_NOOP("kv::Catalogue", "过压复位")},
    {"3106----", QT_TRANSLATE_NOOP("kv::Catalogue", "欠压复位")},
    {"3107----", QT_TRANSLATE_NOOP("kv::Catalogue", "AI故障复位")},
    {"3108----", QT_TRANSLATE_NOOP("kv::Catalogue", "外部故障复位")},
    {"3201----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器1参数")},
    {"3202----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器1低限")},
    {"3203----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器1高限")},
    {"3204----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器2参数")},
    {"3205----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器2低限")},
    {"3206----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器2高限")},
    {"3207----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器3参数")},
    {"3208----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器3低限")},
    {"3209----", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器3高限")},
    {"3301----", QT_TRANSLATE_NOOP("kv::Catalogue", "软件版本")},
    {"3302----", QT_TRANSLATE_NOOP("kv::Catalogue", "程序版本")},
    {"3303----", QT_TRANSLATE_NOOP("kv::Catalogue", "测试日期")},
    {"3304----", QT_TRANSLATE_NOOP("kv::Catalogue", "传动容量")},
    {"3305----", QT_TRANSLATE_NOOP("kv::Catalogue", "参数表")},
    {"3401----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号1参数")},
    {"3402----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号1最小值")},
    {"3403----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号1最大值")},
    {"3404----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号1格式")},
    {"3405----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号1单位")},
    {"3406----", QT_TRANSLATE_NOOP("kv::Catalogue", "输出1最小值")},
    {"3407----", QT_TRANSLATE_NOOP("kv::Catalogue", "输出1最大值")},
    {"3408----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号2参数")},
    {"3409----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号2最小值")},
    {"3410----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号2最大值")},
    {"3411----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号2格式")},
    {"3412----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号2单位")},
    {"3413----", QT_TRANSLATE_NOOP("kv::Catalogue", "输出2最小值")},
    {"3414----", QT_TRANSLATE_NOOP("kv::Catalogue", "输出2最大值")},
    {"3415----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号3参数")},
    {"3416----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号3最小值")},
    {"3417----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号3最大值")},
    {"3418----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号3格式")},
    {"3419----", QT_TRANSLATE_NOOP("kv::Catalogue", "信号3单位")},
    {"3420----", QT_TRANSLATE_NOOP("kv::Catalogue", "输出3最小值")},
    {"3421----", QT_TRANSLATE_NOOP("kv::Catalogue", "输出3最大值")},
    {"3501----", QT_TRANSLATE_NOOP("kv::Catalogue", "传感器类型")},
    {"3502----", QT_TRANSLATE_NOOP("kv::Catalogue", "输入选择")},
    {"3503----", QT_TRANSLATE_NOOP("kv::Catalogue", "报警极限")},
    {"3504----", QT_TRANSLATE_NOOP("kv::Catalogue", "故障极限")},
    {"3701----", QT_TRANSLATE_NOOP("kv::Catalogue", "用户负载曲线模式")},
    {"3702----", QT_TRANSLATE_NOOP("kv::Catalogue", "用户负载曲线功能")},
    {"3703----", QT_TRANSLATE_NOOP("kv::Catalogue", "用户负载曲线时间")},
    {"3704----", QT_TRANSLATE_NOOP("kv::Catalogue", "负载频率1")},
    {"3705----", QT_TRANSLATE_NOOP("kv::Catalogue", "欠载转矩1")},
    {"3706----", QT_TRANSLATE_NOOP("kv::Catalogue", "过载转矩1")},
    {"3707----", QT_TRANSLATE_NOOP("kv::Catalogue", "负载频率2")},
    {"3708----", QT_TRANSLATE_NOOP("kv::Catalogue", "欠载转矩2")},
    {"3709----", QT_TRANSLATE_NOOP("kv::Catalogue", "过载转矩2")},
    {"3710----", QT_TRANSLATE_NOOP("kv::Catalogue", "负载频率3")},
    {"3711----", QT_TRANSLATE_NOOP("kv::Catalogue", "欠载转矩3")},
    {"3712----", QT_TRANSLATE_NOOP("kv::Catalogue", "过载转矩3")},
    {"3713----", QT_TRANSLATE_NOOP("kv::Catalogue", "负载频率4")},
    {"3714----", QT_TRANSLATE_NOOP("kv::Catalogue", "欠载转矩4")},
    {"3715----", QT_TRANSLATE_NOOP("kv::Catalogue", "过载转矩4")},
    {"3716----", QT_TRANSLATE_NOOP("kv::Catalogue", "负载频率5")},
    {"3717----", QT_TRANSLATE_NOOP("kv::Catalogue", "欠载转矩5")},
    {"3718----", QT_TRANSLATE_NOOP("kv::Catalogue", "过载转矩5")},
    {"4001----", QT_TRANSLATE_NOOP("kv::Catalogue", "增益")},
    {"4002----", QT_TRANSLATE_NOOP("kv::Catalogue", "积分时间")},
    {"4003----", QT_TRANSLATE_NOOP("kv::Catalogue", "微分时间")},
    {"4004----", QT_TRANSLATE_NOOP("kv::Catalogue", "微分滤波")},
    {"4005----", QT_TRANSLATE_NOOP("kv::Catalogue", "偏差值取反")},
    {"4006----", QT_TRANSLATE_NOOP("kv::Catalogue", "单位")},
    {"4007----", QT_TRANSLATE_NOOP("kv::Catalogue", "显示格式")},
    {"4008----", QT_TRANSLATE_NOOP("kv::Catalogue", "0%值")},
    {"4009----", QT_TRANSLATE_NOOP("kv::Catalogue", "100%值")},
    {"4010----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值选择")},
    {"4011----", QT_TRANSLATE_NOOP("kv::Catalogue", "内部给定值")},
    {"4012----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定最小值")},
    {"4013----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定最大值")},
    {"4014----", QT_TRANSLATE_NOOP("kv::Catalogue", "反馈值选择")},
    {"4015----", QT_TRANSLATE_NOOP("kv::Catalogue", "乘法因子")},
    {"4016----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1输入")},
    {"4017----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2输入")},
    {"4018----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1下限")},
    {"4019----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1上限")},
    {"4020----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2下限")},
    {"4021----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2上限")},
    {"4022----", QT_TRANSLATE_NOOP("kv::Catalogue", "睡眠选择")},
    {"4023----", QT_TRANSLATE_NOOP("kv::Catalogue", "睡眠频率")},
    {"4024----", QT_TRANSLATE_NOOP("kv::Catalogue", "睡眠延迟")},
    {"4025----", QT_TRANSLATE_NOOP("kv::Catalogue", "唤醒偏差")},
    {"4026----", QT_TRANSLATE_NOOP("kv::Catalogue", "唤醒延迟")},
    {"4027----", QT_TRANSLATE_NOOP("kv::Catalogue", "PID 1参数选择")},
    {"4101----", QT_TRANSLATE_NOOP("kv::Catalogue", "增益")},
    {"4102----", QT_TRANSLATE_NOOP("kv::Catalogue", "积分时间")},
    {"4103----", QT_TRANSLATE_NOOP("kv::Catalogue", "微分时间")},
    {"4104----", QT_TRANSLATE_NOOP("kv::Catalogue", "微分滤波")},
    {"4105----", QT_TRANSLATE_NOOP("kv::Catalogue", "偏差值取反")},
    {"4106----", QT_TRANSLATE_NOOP("kv::Catalogue", "单位")},
    {"4107----", QT_TRANSLATE_NOOP("kv::Catalogue", "显示格式")},
    {"4108----", QT_TRANSLATE_NOOP("kv::Catalogue", "0%值")},
    {"4109----", QT_TRANSLATE_NOOP("kv::Catalogue", "100%值")},
    {"4110----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值选择")},
    {"4111----", QT_TRANSLATE_NOOP("kv::Catalogue", "内部给定值")},
    {"4112----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定最小值")},
    {"4113----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定最大值")},
    {"4114----", QT_TRANSLATE_NOOP("kv::Catalogue", "反馈值选择")},
    {"4115----", QT_TRANSLATE_NOOP("kv::Catalogue", "乘法因子")},
    {"4116----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1输入")},
    {"4117----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2输入")},
    {"4118----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1下限")},
    {"4119----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1上限")},
    {"4120----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2下限")},
    {"4121----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2上限")},
    {"4122----", QT_TRANSLATE_NOOP("kv::Catalogue", "睡眠选择")},
    {"4123----", QT_TRANSLATE_NOOP("kv::Catalogue", "睡眠频率")},
    {"4124----", QT_TRANSLATE_NOOP("kv::Catalogue", "睡眠延迟")},
    {"4125----", QT_TRANSLATE_NOOP("kv::Catalogue", "唤醒偏差")},
    {"4126----", QT_TRANSLATE_NOOP("kv::Catalogue", "唤醒延迟")},
    {"4201----", QT_TRANSLATE_NOOP("kv::Catalogue", "增益")},
    {"4202----", QT_TRANSLATE_NOOP("kv::Catalogue", "积分时间")},
    {"4203----", QT_TRANSLATE_NOOP("kv::Catalogue", "微分时间")},
    {"4204----", QT_TRANSLATE_NOOP("kv::Catalogue", "微分滤波")},
    {"4205----", QT_TRANSLATE_NOOP("kv::Catalogue", "偏差值取反")},
    {"4206----", QT_TRANSLATE_NOOP("kv::Catalogue", "单位")},
    {"4207----", QT_TRANSLATE_NOOP("kv::Catalogue", "显示格式")},
    {"4208----", QT_TRANSLATE_NOOP("kv::Catalogue", "0%值")},
    {"4209----", QT_TRANSLATE_NOOP("kv::Catalogue", "100%值")},
    {"4210----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定值选择")},
    {"4211----", QT_TRANSLATE_NOOP("kv::Catalogue", "内部给定值")},
    {"4212----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定最小值")},
    {"4213----", QT_TRANSLATE_NOOP("kv::Catalogue", "给定最大值")},
    {"4214----", QT_TRANSLATE_NOOP("kv::Catalogue", "反馈值选择")},
    {"4215----", QT_TRANSLATE_NOOP("kv::Catalogue", "乘法因子")},
    {"4216----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1输入")},
    {"4217----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2输入")},
    {"4218----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1下限")},
    {"4219----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值1上限")},
    {"4220----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2下限")},
    {"4221----", QT_TRANSLATE_NOOP("kv::Catalogue", "实际值2上限")},
    {"4228----", QT_TRANSLATE_NOOP("kv::Catalogue", "激活")},
    {"4229----", QT_TRANSLATE_NOOP("kv::Catalogue", "偏置")},
    {"4230----", QT_TRANSLATE_NOOP("kv::Catalogue", "修正模式")},
    {"4231----", QT_TRANSLATE_NOOP("kv::Catalogue", "修正因子")},
    {"4232----", QT_TRANSLATE_NOOP("kv::Catalogue", "纠偏源")},
    {"4502----", QT_TRANSLATE_NOOP("kv::Catalogue", "电价")},
    {"4507----", QT_TRANSLATE_NOOP("kv::Catalogue", "二氧化碳排放系数")},
    {"4508----", QT_TRANSLATE_NOOP("kv::Catalogue", "水泵功率")},
    {"4509----", QT_TRANSLATE_NOOP("kv::Catalogue", "节能计算复位")},
    {"5101----", QT_TRANSLATE_NOOP("kv::Catalogue", "总线适配器类型")},
    {"5102-5126\t", QT_TRANSLATE_NOOP("kv::Catalogue", "总线参数226")},
    {"5127----", QT_TRANSLATE_NOOP("kv::Catalogue", "总线参数刷新")},
    {"5128----", QT_TRANSLATE_NOOP("kv::Catalogue", "CPI版本")},
    {"5129----", QT_TRANSLATE_NOOP("kv::Catalogue", "文件辨识")},
    {"5130----", QT_TRANSLATE_NOOP("kv::Catalogue", "文件版本")},
    {"5131----", QT_TRANSLATE_NOOP("kv::Catalogue", "适配器状态")},
    {"5132----", QT_TRANSLATE_NOOP("kv::Catalogue", "适配器CPI版本")},
    {"5133----", QT_TRANSLATE_NOOP("kv::Catalogue", "功能块版本")},
    {"5301----", QT_TRANSLATE_NOOP("kv::Catalogue", "内置通讯协议辨识")},
    {"5302----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB站点号")},
    {"5303----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB波特率")},
    {"5304----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB校验")},
    {"5305----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB控制类型")},
    {"5306----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB好消息")},
    {"5307----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB CRC错误")},
    {"5308----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 收发错误")},
    {"5309----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 状态")},
    {"5310----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数10")},
    {"5311----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数11")},
    {"5312----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数12")},
    {"5313----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数13")},
    {"5314----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数14")},
    {"5315----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数15")},
    {"5316----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数16")},
    {"5317----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数17")},
    {"5318----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数18")},
    {"5319----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数19")},
    {"5320----", QT_TRANSLATE_NOOP("kv::Catalogue", "EFB 参数20")},
    {"8103----", QT_TRANSLATE_NOOP("kv::Catalogue", "流量补偿1")},
    {"8104----", QT_TRANSLATE_NOOP("kv::Catalogue", "流量补偿2")},
    {"8105----", QT_TRANSLATE_NOOP("kv::Catalogue", "流量补偿3")},
    {"8109----", QT_TRANSLATE_NOOP("kv::Catalogue", "起动频率1")},
    {"8110----", QT_TRANSLATE_NOOP("kv::Catalogue", "起动频率2")},
    {"8111----", QT_TRANSLATE_NOOP("kv::Catalogue", "起动频率3")},
    {"8112----", QT_TRANSLATE_NOOP("kv::Catalogue", "停止频率1")},
    {"8113----", QT_TRANSLATE_NOOP("kv::Catalogue", "停止频率2")},
    {"8114----", QT_TRANSLATE_NOOP("kv::Catalogue", "停止频率3")},
    {"8115----", QT_TRANSLATE_NOOP("kv::Catalogue", "辅机起动延迟")},
    {"8116----", QT_TRANSLATE_NOOP("kv::Catalogue", "辅机停止延迟")},
    {"8117----", QT_TRANSLATE_NOOP("kv::Catalogue", "辅机数量")},
    {"8118----", QT_TRANSLATE_NOOP("kv::Catalogue", "自动切换间隔")},
    {"8119----", QT_TRANSLATE_NOOP("kv::Catalogue", "自动切换范围")},
    {"8120----", QT_TRANSLATE_NOOP("kv::Catalogue", "内部锁定")},
    {"8121----", QT_TRANSLATE_NOOP("kv::Catalogue", "调节器旁路")},
    {"8122----", QT_TRANSLATE_NOOP("kv::Catalogue", "PFC起动延时")},
    {"8123----", QT_TRANSLATE_NOOP("kv::Catalogue", "PFC允许")},
    {"8124----", QT_TRANSLATE_NOOP("kv::Catalogue", "辅机停止时加速")},
    {"8125----", QT_TRANSLATE_NOOP("kv::Catalogue", "辅机起动时减速")},
    {"8127----", QT_TRANSLATE_NOOP("kv::Catalogue", "电机个数")},
    {"8128----", QT_TRANSLATE_NOOP("kv::Catalogue", "辅助电机启动顺序")},
    {"9802----", QT_TRANSLATE_NOOP("kv::Catalogue", "通讯选择")}
};

const Entry kGroups[] = {
    {"99 ", QT_TRANSLATE_NOOP("kv::Catalogue", "电机数据")},
    {"01 ", QT_TRANSLATE_NOOP("kv::Catalogue", "运行数据")},
    {"04 ", QT_TRANSLATE_NOOP("kv::Catalogue", "故障记录")},
    {"10 ", QT_TRANSLATE_NOOP("kv::Catalogue", "输入指令")},
    {"11 ", QT_TRANSLATE_NOOP("kv::Catalogue", "给定选择")},
    {"12 ", QT_TRANSLATE_NOOP("kv::Catalogue", "恒速运行")},
    {"13 ", QT_TRANSLATE_NOOP("kv::Catalogue", "模拟输入")},
    {"14 ", QT_TRANSLATE_NOOP("kv::Catalogue", "继电器输出")},
    {"15 ", QT_TRANSLATE_NOOP("kv::Catalogue", "模拟输出")},
    {"16 ", QT_TRANSLATE_NOOP("kv::Catalogue", "系统控制")},
    {"17 ", QT_TRANSLATE_NOOP("kv::Catalogue", "超越模式")},
    {"20 ", QT_TRANSLATE_NOOP("kv::Catalogue", "限幅")},
    {"21 ", QT_TRANSLATE_NOOP("kv::Catalogue", "起动/停止")},
    {"22 ", QT_TRANSLATE_NOOP("kv::Catalogue", "加速/减速")},
    {"25 ", QT_TRANSLATE_NOOP("kv::Catalogue", "危险频率")},
    {"26 ", QT_TRANSLATE_NOOP("kv::Catalogue", "电机控制")},
    {"30 ", QT_TRANSLATE_NOOP("kv::Catalogue", "故障功能")},
    {"31 ", QT_TRANSLATE_NOOP("kv::Catalogue", "自动复位")},
    {"32 ", QT_TRANSLATE_NOOP("kv::Catalogue", "监控器")},
    {"33 ", QT_TRANSLATE_NOOP("kv::Catalogue", "信息")},
    {"34 ", QT_TRANSLATE_NOOP("kv::Catalogue", "控制盘显示")},
    {"35 ", QT_TRANSLATE_NOOP("kv::Catalogue", "电机温度测量")},
    {"37 ", QT_TRANSLATE_NOOP("kv::Catalogue", "用户可调负载曲线")},
    {"40 ", QT_TRANSLATE_NOOP("kv::Catalogue", "PID设置1")},
    {"41 ", QT_TRANSLATE_NOOP("kv::Catalogue", "PID设置2")},
    {"42 ", QT_TRANSLATE_NOOP("kv::Catalogue", "外部/修正PID")},
    {"45 ", QT_TRANSLATE_NOOP("kv::Catalogue", "节能计算")},
    {"51 ", QT_TRANSLATE_NOOP("kv::Catalogue", "外部通讯模块")},
    {"53 ", QT_TRANSLATE_NOOP("kv::Catalogue", "内置通讯协议")},
    {"81 ", QT_TRANSLATE_NOOP("kv::Catalogue", "PFC控制")},
    {"98 ", QT_TRANSLATE_NOOP("kv::Catalogue", "可选件")}
};

QString JoinedRows(QString (Entry::*text)() const)
{
    QString t;
    for (const Entry& row : kRows) {
        t += (row.*text)();
        t += QStringLiteral("\r\n");
    }
    return t;
}

QStringList GroupEntries(QString (Entry::*text)() const)
{
    QStringList g;
    for (const Entry& entry : kGroups)
        g.append((entry.*text)());
    return g;
}

QStringList RowsOfGroup(const QString& text, QStringView comboText)
{
    const QStringView g = comboText.left(2);
    QStringList out;
    for (const QStringView piece : QStringView(text).split(QStringLiteral("\r\n"))) {
        if (!piece.isEmpty() && piece.left(2) == g)
            out.append(piece.toString());
    }
    return out;
}

} // namespace

const QString& CatalogueText()
{
    static const QString text = JoinedRows(&Entry::Text);
    return text;
}

int CatalogueRowCount()
{
    return static_cast<int>(std::size(kRows));
}

const QStringList& ParameterGroups()
{
    static const QStringList groups = GroupEntries(&Entry::Text);
    return groups;
}

QStringList CatalogueRowsOfGroup(QStringView comboText)
{
    return RowsOfGroup(CatalogueText(), comboText);
}

QString ShownCatalogueText()
{
    return JoinedRows(&Entry::Translated);
}

QStringList ShownParameterGroups()
{
    return GroupEntries(&Entry::Translated);
}

QStringList ShownRowsOfGroup(QStringView comboText)
{
    return RowsOfGroup(ShownCatalogueText(), comboText);
}

int ParameterCodeOfRow(QStringView row)
{
    // The decimal value of the first four characters; "5102-5126" reads 5102.
    int value = 0;
    for (const QChar c : row.left(4)) {
        if (c == u' ' || c == u'\t')
            continue;
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QString ParameterRegisterHex(QStringView row)
{
    const int reg = ParameterCodeOfRow(row) - 1;
    // A code of 0000 would give -1; the 16-bit register field keeps its low bits.
    return HexText(static_cast<unsigned>(reg) & 0xFFFFu, 4);
}

QList<int> CatalogueParameterCodes()
{
    QList<int> codes;
    for (const Entry& row : kRows)
        codes.append(ParameterCodeOfRow(QString::fromLatin1(row.prefix)));
    return codes;
}

} // namespace kv
